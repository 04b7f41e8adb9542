#pragma once
// The product's own names.
namespace pagero {
inline constexpr const char *kProductTitle = "Pagero";
inline constexpr const char *kProductVersion = "3.0";
inline constexpr const char *kApplicationTitle = "Pagero 3.0";
inline constexpr const char *kScreenSaverCaption = "Pagero Screen Saver";
const char *ProductTitleAndVersion();
}
