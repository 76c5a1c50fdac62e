#include "text_encoding.h"

#include <climits>

#include "win32.h"

namespace framework {
namespace {

std::wstring Widen(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
    return wide;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) {
    return Widen(CP_UTF8, text);
}

std::wstring WideFromAnsi(std::string_view text) {
    return Widen(CP_ACP, text);
}

std::wstring ReplacePlaceholder(std::wstring text, std::wstring_view argument) {
    constexpr std::wstring_view kPlaceholder = L"%1";
    for (size_t pos = text.find(kPlaceholder); pos != std::wstring::npos;
         pos = text.find(kPlaceholder, pos + argument.size())) {
        text.replace(pos, kPlaceholder.size(), argument);
    }
    return text;
}

}  // namespace framework
