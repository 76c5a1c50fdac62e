// Binding commands to member functions with a static table of rows, one per
// (notification code, control or command identifier, handler), declared like
// this:
//
//   framework::CommandTable<CMyDlg> CMyDlg::Commands() {
//       static constexpr framework::CommandRow<CMyDlg> kRows[] = {
//           {BN_CLICKED, IDC_BROWSE, &CMyDlg::OnBrowse},
//       };
//       return kRows;
//   }
#pragma once

#include <cstddef>

#include "win32.h"

namespace framework {

template <typename Target>
struct CommandRow {
    WORD notification;  // 0 for menus, accelerators and button clicks
    WORD id;
    void (Target::*handler)();
};

template <typename Target>
class CommandTable {
public:
    template <size_t N>
    constexpr CommandTable(const CommandRow<Target> (&rows)[N]) : rows_(rows), count_(N) {}

    const CommandRow<Target>* begin() const { return rows_; }
    const CommandRow<Target>* end() const { return rows_ + count_; }

private:
    const CommandRow<Target>* rows_;
    size_t count_;
};

// Calls the handler of the first matching row; false when no row matches.
template <typename Target>
bool DispatchCommand(Target& target, CommandTable<Target> table, WORD notification, WORD id) {
    for (const CommandRow<Target>& row : table) {
        if (row.notification == notification && row.id == id) {
            (target.*row.handler)();
            return true;
        }
    }
    return false;
}

}  // namespace framework
