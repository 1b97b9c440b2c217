// The texts a search shows in the status bar and the result list. GBK bytes spelled out;
// the text itself stands in the comment.
#pragma once

#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::sites {

inline constexpr std::string_view kSearchDone = "\xCB\xD1\xCB\xF7\xCD\xEA\xB3\xC9!";  // 搜索完成!
inline constexpr std::string_view kSearchingSource1 =
    "\xD5\xFD\xD4\xDA\xD4\xB4\xD5\xBE\xA2\xD9\xCB\xD1\xCB\xF7\xD6\xD0.";  // 正在源站①搜索中.
inline constexpr std::string_view kSearchingSource2 =
    "\xD5\xFD\xD4\xDA\xD4\xB4\xD5\xBE\xA2\xDA\xCB\xD1\xCB\xF7\xD6\xD0.";  // 正在源站②搜索中.
// A site's search says "正在" + its name + "搜索中." while it runs.
inline constexpr std::string_view kSearchingLead = "\xD5\xFD\xD4\xDA";           // 正在
inline constexpr std::string_view kSearchingTail = "\xCB\xD1\xCB\xF7\xD6\xD0.";  // 搜索中.
// Before the first reason a site file was left out for.
inline constexpr std::string_view kSiteFileWrong =
    "\xD5\xBE\xB5\xE3\xCE\xC4\xBC\xFE\xD3\xD0\xCE\xF3: ";  // 站点文件有误:
inline constexpr std::string_view kNoIntroduction = "\xD4\xDD\xCE\xDE\xBC\xF2\xBD\xE9";  // 暂无简介

}  // namespace quillreap::sites
