// Input of the site-template fuzz target: a template folder and a portfolio built into a site
// in memory. The bytes are fields split by kFieldEnd: the seven template pages in build order
// (index, biography, galleries, big image, work, web sites, about), then items, each led by
// one byte saying what it is:
//   'b' value            the next biography keyword's value, in the keywords' order
//   'h' n value          the same, the value repeated n * n times, up to 32 KB (a huge value)
//   'w' / 'p' parts      a work-history or photographer record: name, phone, e-mail, web
//                        address, where, comment, split by kPartEnd
//   's' parts            a web site: name, address, comment
//   'g' c flags name     a picture in category c % 8: its thumbnail, and its preview unless
//                        flags & 1 (a thumbnail left without one)
//   'f' flags name kPartEnd bytes   a template file beside the pages (in files\ when flags & 1)
// Any byte may stand anywhere else: NULs, unterminated and nested "%", bytes outside the code
// page. Nothing raises for any input; anything else (a crash, a sanitizer report) is a fault.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fuzz {

inline constexpr std::string_view kFieldEnd = "\xFF\xFF\xFF";
inline constexpr char kPartEnd = '\xFE';

void FuzzSiteTemplateOnce(const std::uint8_t* data, std::size_t size);

}  // namespace fuzz
