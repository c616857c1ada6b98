// The product's name and web address, as the window, the help and the
// branding label on every print show them.
#pragma once

namespace waybill {

inline constexpr const char* kProductName = "晨帆快递单打印软件";
inline constexpr const char* kProductFullName = "晨帆快递单打印软件(专业版)";
// The product's site; the page of common questions is ques.htm on it.
inline constexpr const char* kProductWebsite = "www.cfkd.com";
// As a link for the browser.
inline constexpr const char* kProductUrl = "http://www.cfkd.com";

}  // namespace waybill
