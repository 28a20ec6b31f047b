#include "forms/subclass.h"

#include <algorithm>
#include <map>
#include <vector>

#include "forms/control.h"
#include "forms/guard.h"
#include "forms/portable/exceptions.h"

namespace forms {

namespace {
constexpr const char* kChainProperty = "VantrellSubclassChain";
}

struct WindowSubclass::Node {
    SubclassHandler handler;
    bool removed = false;
};

// One per hooked window: our handlers (top last) over the procedure that was there first.
struct WindowSubclass::Chain : std::enable_shared_from_this<WindowSubclass::Chain> {
    HWND wnd = nullptr;
    bool unicode = false;
    WNDPROC original = nullptr;
    std::vector<std::shared_ptr<Node>> nodes;

    static LRESULT CALLBACK Procedure(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT CallOriginal(UINT msg, WPARAM wParam, LPARAM lParam) const {
        return unicode ? CallWindowProcW(original, wnd, msg, wParam, lParam)
                       : CallWindowProcA(original, wnd, msg, wParam, lParam);
    }
    // Hands the message to the handlers of the snapshot from level down, then the original.
    LRESULT Dispatch(const std::vector<std::shared_ptr<Node>>& snapshot, size_t level, UINT msg, WPARAM wParam,
                     LPARAM lParam) {
        while (level > 0 && snapshot[level - 1]->removed) --level;
        if (level == 0) return CallOriginal(msg, wParam, lParam);
        const SubclassNext next = [this, &snapshot, level](UINT m, WPARAM w, LPARAM l) {
            return Dispatch(snapshot, level - 1, m, w, l);
        };
        return snapshot[level - 1]->handler(wnd, msg, wParam, lParam, next);
    }
    bool Current() const {
        const LONG_PTR now = unicode ? GetWindowLongPtrW(wnd, GWLP_WNDPROC) : GetWindowLongPtrA(wnd, GWLP_WNDPROC);
        return reinterpret_cast<WNDPROC>(now) == &Procedure;
    }
    void SetProcedure(WNDPROC proc) const {
        if (unicode) SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
        else SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
    }
    // Puts the original back when nothing of ours is left and nobody hooked in after us.
    void Release();
};

namespace {
// The chains alive, owned here; the window property points at the entry.
std::map<HWND, std::shared_ptr<WindowSubclass::Chain>>& Chains() {
    static std::map<HWND, std::shared_ptr<WindowSubclass::Chain>> chains;
    return chains;
}
}  // namespace

void WindowSubclass::Chain::Release() {
    if (!nodes.empty() || wnd == nullptr) return;
    if (!Current()) return;  // a later subclass calls us: stay as a pass-through
    SetProcedure(original);
    RemovePropA(wnd, kChainProperty);
    auto keep = shared_from_this();
    Chains().erase(wnd);
    wnd = nullptr;
}

LRESULT CALLBACK WindowSubclass::Chain::Procedure(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* found = static_cast<Chain*>(GetPropA(wnd, kChainProperty));
    if (found == nullptr) return IsWindowUnicode(wnd) ? DefWindowProcW(wnd, msg, wParam, lParam) : DefWindowProcA(wnd, msg, wParam, lParam);
    std::shared_ptr<Chain> chain = found->shared_from_this();
    const std::vector<std::shared_ptr<Node>> snapshot = chain->nodes;
    // No exception may cross back into the system's dispatch.
    const LRESULT result =
        GuardedCall([&] { return chain->Dispatch(snapshot, snapshot.size(), msg, wParam, lParam); }, LRESULT{0});
    if (msg == WM_NCDESTROY && chain->wnd != nullptr) {
        // The window is gone: every hook of ours is detached with it.
        for (auto& node : chain->nodes) node->removed = true;
        chain->nodes.clear();
        RemovePropA(wnd, kChainProperty);
        Chains().erase(wnd);
        chain->wnd = nullptr;
    }
    return result;
}

WindowSubclass::WindowSubclass(HWND wnd, SubclassHandler handler) : wnd_(wnd), unicode_(IsWindowUnicode(wnd) != FALSE) {
    if (!IsWindow(wnd)) throw EInvalidOperation("Cannot subclass a window that does not exist");
    auto& chains = Chains();
    std::shared_ptr<Chain> chain;
    if (auto it = chains.find(wnd); it != chains.end()) {
        chain = it->second;
    } else {
        chain = std::make_shared<Chain>();
        chain->wnd = wnd;
        chain->unicode = unicode_;
        SetPropA(wnd, kChainProperty, chain.get());
        chains.emplace(wnd, chain);
        const LONG_PTR old = unicode_ ? SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Chain::Procedure))
                                      : SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Chain::Procedure));
        chain->original = reinterpret_cast<WNDPROC>(old);
    }
    node_ = std::make_shared<Node>();
    node_->handler = std::move(handler);
    chain->nodes.push_back(node_);
    chain_ = chain;
    unicode_ = chain->unicode;
}

WindowSubclass::~WindowSubclass() { Remove(); }

bool WindowSubclass::Attached() const { return node_ && !node_->removed && !chain_.expired(); }

void WindowSubclass::Remove() {
    if (!node_) return;
    node_->removed = true;
    if (auto chain = chain_.lock()) {
        auto& nodes = chain->nodes;
        nodes.erase(std::remove(nodes.begin(), nodes.end(), node_), nodes.end());
        chain->Release();
    }
    node_.reset();
    chain_.reset();
}

// ---- WindowProc of a control ----

struct WindowProcHook::Node {
    Handler handler;
    bool removed = false;
};

// One per hooked control; it learns of the control's end through the component notification.
struct WindowProcHook::Chain : TComponent, std::enable_shared_from_this<WindowProcHook::Chain> {
    explicit Chain(TControl* c) : TComponent(nullptr), control(c) { c->FreeNotification(this); }
    ~Chain() override {
        if (control != nullptr) control->RemoveFreeNotification(this);
    }
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == opRemove && component == control) control = nullptr;
    }
    TControl* control;
    std::function<void(TMessage&)> original;
    std::vector<std::shared_ptr<Node>> nodes;
    int id = 0;

    void Dispatch(const std::vector<std::shared_ptr<Node>>& snapshot, size_t level, TMessage& m) {
        while (level > 0 && snapshot[level - 1]->removed) --level;
        if (level == 0) {
            if (original) original(m);
            return;
        }
        const Next next = [this, &snapshot, level](TMessage& message) { Dispatch(snapshot, level - 1, message); };
        snapshot[level - 1]->handler(m, next);
    }
};

namespace {
std::map<TControl*, std::shared_ptr<WindowProcHook::Chain>>& ProcChains() {
    static std::map<TControl*, std::shared_ptr<WindowProcHook::Chain>> chains;
    return chains;
}

// What a chain installs as WindowProc; its type tells whether it is still the one in place.
// A destroying control keeps it after its chain is gone, so it still reaches the control's
// own procedure.
struct ChainDispatcher {
    std::weak_ptr<WindowProcHook::Chain> chain;
    int id;
    std::shared_ptr<const std::function<void(TMessage&)>> original;
    void operator()(TMessage& m) const {
        auto c = chain.lock();
        if (!c) {
            if (original && *original) (*original)(m);
            return;
        }
        const auto snapshot = c->nodes;
        c->Dispatch(snapshot, snapshot.size(), m);
    }
};
}  // namespace

WindowProcHook::WindowProcHook(TControl& control, Handler handler) : control_(&control) {
    auto& chains = ProcChains();
    std::shared_ptr<Chain> chain;
    auto it = chains.find(&control);
    if (it != chains.end() && it->second->control == &control) {
        chain = it->second;
    } else {
        static int nextId = 0;
        chain = std::make_shared<Chain>(&control);
        chain->id = ++nextId;
        chain->original = control.WindowProc;
        control.WindowProc =
            ChainDispatcher{chain, chain->id, std::make_shared<const std::function<void(TMessage&)>>(chain->original)};
        chains[&control] = chain;
    }
    node_ = std::make_shared<Node>();
    node_->handler = std::move(handler);
    chain->nodes.push_back(node_);
}

WindowProcHook::~WindowProcHook() { Remove(); }

void WindowProcHook::Remove() {
    if (!node_) return;
    node_->removed = true;
    auto& chains = ProcChains();
    auto it = chains.find(control_);
    if (it != chains.end()) {
        std::shared_ptr<Chain> chain = it->second;
        auto& nodes = chain->nodes;
        nodes.erase(std::remove(nodes.begin(), nodes.end(), node_), nodes.end());
        const bool controlGone = chain->control == nullptr || chain->control->IsDestroying();
        if (controlGone) {
            if (nodes.empty()) chains.erase(it);
        } else if (nodes.empty()) {
            const auto* installed = chain->control->WindowProc.target<ChainDispatcher>();
            if (installed != nullptr && installed->id == chain->id) {
                chain->control->WindowProc = chain->original;
                chains.erase(it);
            }
        }
    }
    node_.reset();
}

}  // namespace forms
