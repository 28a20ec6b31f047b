#include "skin/portable/lzh_tree.h"

#include <algorithm>

namespace skin {

const LzhPositionTables& PositionTables() {
    // Codes are handed out in order of length: one 3-bit code, three of 4 bits, eight of 5,
    // twelve of 6, twenty-four of 7 and sixteen of 8 (64 upper values in all).
    static const LzhPositionTables tables = [] {
        constexpr struct { int bits; int count; } kLengths[] = {{3, 1}, {4, 3}, {5, 8}, {6, 12}, {7, 24}, {8, 16}};
        LzhPositionTables t{};
        int index = 0, upper = 0;
        for (const auto& l : kLengths) {
            for (int n = 0; n < l.count; ++n, ++upper) {
                for (int k = 0; k < (1 << (8 - l.bits)); ++k, ++index) {
                    t.code[index] = static_cast<std::uint8_t>(upper);
                    t.length[index] = static_cast<std::uint8_t>(l.bits);
                }
            }
        }
        return t;
    }();
    return tables;
}

LzhTree::LzhTree() {
    for (int i = 0; i < kLzhSymbols; ++i) {
        freq[i] = 1;
        son[i] = static_cast<std::int16_t>(i + kLzhNodes);
        prnt[i + kLzhNodes] = static_cast<std::int16_t>(i);
    }
    for (int i = 0, j = kLzhSymbols; j <= kLzhRoot; i += 2, ++j) {
        freq[j] = static_cast<std::uint16_t>(freq[i] + freq[i + 1]);
        son[j] = static_cast<std::int16_t>(i);
        prnt[i] = prnt[i + 1] = static_cast<std::int16_t>(j);
    }
    freq[kLzhNodes] = 0xFFFF;  // sentinel that ends the upward scan in Update
    prnt[kLzhRoot] = 0;
}

void LzhTree::Rebuild() {
    int j = 0;
    for (int i = 0; i < kLzhNodes; ++i) {
        if (son[i] >= kLzhNodes) {
            freq[j] = static_cast<std::uint16_t>((freq[i] + 1) / 2);
            son[j] = son[i];
            ++j;
        }
    }
    for (int i = 0, node = kLzhSymbols; node < kLzhNodes; i += 2, ++node) {
        const std::uint16_t f = static_cast<std::uint16_t>(freq[i] + freq[i + 1]);
        int k = node - 1;
        while (f < freq[k]) --k;
        ++k;
        std::copy_backward(freq.begin() + k, freq.begin() + node, freq.begin() + node + 1);
        std::copy_backward(son.begin() + k, son.begin() + node, son.begin() + node + 1);
        freq[k] = f;
        son[k] = static_cast<std::int16_t>(i);
    }
    for (int i = 0; i < kLzhNodes; ++i) {
        const int k = son[i];
        prnt[k] = static_cast<std::int16_t>(i);
        if (k < kLzhNodes) prnt[k + 1] = static_cast<std::int16_t>(i);
    }
}

void LzhTree::Update(int c) {
    if (freq[kLzhRoot] == kLzhMaxFreq) Rebuild();
    int node = prnt[c + kLzhNodes];
    do {
        const unsigned count = ++freq[node];
        if (count > freq[node + 1]) {
            int l = node + 1;
            while (count > freq[l + 1]) ++l;
            freq[node] = freq[l];
            freq[l] = static_cast<std::uint16_t>(count);

            const int moved = son[node];
            prnt[moved] = static_cast<std::int16_t>(l);
            if (moved < kLzhNodes) prnt[moved + 1] = static_cast<std::int16_t>(l);
            const int other = son[l];
            son[l] = static_cast<std::int16_t>(moved);
            prnt[other] = static_cast<std::int16_t>(node);
            if (other < kLzhNodes) prnt[other + 1] = static_cast<std::int16_t>(node);
            son[node] = static_cast<std::int16_t>(other);
            node = l;
        }
        node = prnt[node];
    } while (node != 0);
}

}  // namespace skin
