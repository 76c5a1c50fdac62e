// srt2rt's UTF-8 names and the UTF-16 that Windows takes. The UTF-8 is
// WTF-8: a lone surrogate, which a Windows file name may hold, is kept in
// its three-byte form, so that every name Windows can hold comes back intact.
#pragma once

#include <string>
#include <string_view>

namespace quillo {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// `path` as the wide file functions take it: absolute and normalised, and
// through "\\?\" when it is too long for the ordinary form. Device names
// ("\\.\NUL") and "\\?\" paths are left as they are.
std::wstring SystemPath(const std::string& path);

}  // namespace quillo
