// srt2rt's UTF-8 names and the UTF-16 that Windows takes. The UTF-8 is
// WTF-8: a lone surrogate, which a Windows file name may hold, is kept in
// its three-byte form, so that every name Windows can hold comes back intact.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quillo {

// std::wstring would link the C++ library's whole instantiation of it (35 KB)
// into srt2rt.exe; a string with an allocator of its own instantiates only
// what is used.
template <typename T>
struct WideAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = WideAllocator<U>;
    };
    WideAllocator() = default;
    template <typename U>
    WideAllocator(const WideAllocator<U>&) {}
};
using WideString = std::basic_string<wchar_t, std::char_traits<wchar_t>, WideAllocator<wchar_t>>;

WideString WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// `path` as the wide file functions take it: absolute and normalised, and
// through "\\?\" when it is too long for the ordinary form. Device names
// ("\\.\NUL") and "\\?\" paths are left as they are.
WideString SystemPath(const std::string& path);

}  // namespace quillo
