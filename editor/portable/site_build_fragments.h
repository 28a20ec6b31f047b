// The fixed HTML pieces the site build writes into the template's pages. Templates are made
// to hold them, so they stay exactly as they are.
#pragma once

#include <string_view>

namespace editor::fragments {

inline constexpr std::string_view kGalleryTableStart = "<table border=\"0\" cellspacing=\"10\" cellpadding=\"0\">";
inline constexpr std::string_view kGalleryRowStart = "<tr align=\"center\" valign=\"middle\">";
inline constexpr std::string_view kGalleryCell = "<td><a href=\"%BIG1%\"><img src=\"%THUMB1%\"></a></td>";
inline constexpr std::string_view kGalleryRowEnd = "</tr>";
inline constexpr std::string_view kEmptyGallery =
    "<table border=\"0\" cellspacing=\"10\" cellpadding=\"0\"><td><dd>- Not Available -</dd></td>";
inline constexpr std::string_view kTableEnd = "</table>";

inline constexpr std::string_view kWorkHeader =
    "<table width=\"90%\" border=\"0\" cellspacing=\"10\" cellpadding=\"0\">  <tr align=\"left\" valign=\"middle\">    "
    "<th nowrap=\"nowrap\">Organisation</th>    <th nowrap=\"nowrap\">Phone</th>    <th nowrap=\"nowrap\">E-Mail</th>    "
    "<th nowrap=\"nowrap\">Web Site</th>    <th nowrap=\"nowrap\">Location or Studio</th>  </tr>";
inline constexpr std::string_view kWorkRow =
    "  <tr align=\"left\" valign=\"middle\">    <td >%JOBORGANISATION%</td>    <td  >%JOBPHONE%</td>    "
    "<td > %MAILCODE%</a></td>    <td  >%WEBLINK%</td>    <td >%JOBWHERE%</td>  </tr></table>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"10\" cellpadding=\"0\">  <tr>    "
    "<th align=\"left\" valign=\"middle\" nowrap=\"nowrap\">Comments:</th>  </tr>  <tr>    "
    "<td align=\"left\" valign=\"middle\"><p>%JOBCOMMENT%<p></td>  </tr>";
inline constexpr std::string_view kPhotographerHeader =
    "<table width=\"90%\" border=\"0\" cellspacing=\"10\" cellpadding=\"0\">  <tr align=\"left\" valign=\"middle\">    "
    "<th nowrap=\"nowrap\">Photographer</th>    <th nowrap=\"nowrap\">Phone</th>    <th nowrap=\"nowrap\">E-Mail</th>    "
    "<th nowrap=\"nowrap\">Web Site</th>    <th nowrap=\"nowrap\">Location or Studio</th>  </tr>";
inline constexpr std::string_view kPhotographerRow =
    "  <tr align=\"left\" valign=\"middle\">    <td >%PHOTOGRAPHER%</td>    <td  >%PHOTOGRAPHERPHONE%</td>    "
    "<td > %MAILCODE%</a></td>    <td  >%WEBLINK%</td>    <td >%PHOTOGRAPHERWHERE%</td>  </tr></table>"
    "<table width=\"90%\" border=\"0\" cellspacing=\"10\" cellpadding=\"0\">  <tr>    "
    "<th align=\"left\" valign=\"middle\" nowrap=\"nowrap\">Comments:</th>  </tr>  <tr>    "
    "<td align=\"left\" valign=\"middle\"><p>%PHOTOGRAPHERCOMMENT%<p></td>  </tr>";
inline constexpr std::string_view kWebSiteHeader =
    "<table width=\"80%\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"10\"> "
    "<tr align=\"left\" valign=\"middle\"> <th align=\"left\" valign=\"top\" nowrap><p>Web Site</p> <p>&nbsp;</p></th> "
    "<th align=\"right\" valign=\"top\" nowrap><p>Direct Link</p>   <p>&nbsp;</p></th></tr>";
inline constexpr std::string_view kWebSiteRow =
    "<tr align=\"center\" valign=\"middle\">               <td align=\"left\" nowrap>%WEBSITENAME%</td>               "
    "<td align=\"right\">%WEBCODE%</tr></table>"
    "<table width=\"80%\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"10\">  <tr>    "
    "<th align=\"left\" valign=\"top\" nowrap=\"nowrap\">    Comments:    </th>  </tr>  <tr>    "
    "<td align=\"left\" valign=\"middle\">      %WEBSITECOMMENT%    </td>  </tr>";

}  // namespace editor::fragments
