#include "value_exchange.h"

namespace framework {

void ValueExchange::Text(int controlId, std::string& value) const {
    if (direction_ == Direction::Push) {
        SetDlgItemTextA(dialog_, controlId, value.c_str());
        return;
    }
    // The length may be overstated for double-byte text; the copy says how much came.
    const int length = GetWindowTextLengthA(GetDlgItem(dialog_, controlId));
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const UINT copied = GetDlgItemTextA(dialog_, controlId, text.data(), length + 1);
    text.resize(copied);
    value = std::move(text);
}

void ValueExchange::Flag(int controlId, int& value) const {
    if (direction_ == Direction::Push) {
        CheckDlgButton(dialog_, controlId, value != 0 ? BST_CHECKED : BST_UNCHECKED);
        return;
    }
    value = IsDlgButtonChecked(dialog_, controlId) == BST_CHECKED ? 1 : 0;
}

}  // namespace framework
