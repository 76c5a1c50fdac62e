// Modal dialogs built from a dialog template. A dialog class derives from
// DialogImpl<itself>, gives its commands in a static table (Commands()), its
// (control, member) pairs in ExchangeValues(), and overrides the hooks it needs.
#pragma once

#include "command_table.h"
#include "value_exchange.h"
#include "win32.h"

namespace framework {

class Dialog {
public:
    explicit Dialog(int templateId) noexcept : templateId_(templateId) {}
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog() = default;

    // Shows the dialog over `owner` (disabled meanwhile) until it ends; returns
    // the result it ended with, or -1 when it could not be created.
    INT_PTR DoModal(HWND owner);

    // The dialog's window while it is shown, else null.
    HWND Handle() const { return window_; }

protected:
    // The window exists and its controls too. The default pushes the values.
    // TRUE lets the system give the focus to the first tab stop.
    virtual BOOL OnInitDialog();

    // The dialog's own command table; false when no row matches.
    virtual bool OnCommand(WORD notification, WORD id);
    // OK with no row of its own: pull the values and end with IDOK.
    virtual void OnOK();
    // Cancel, Escape or the close box: end with IDCANCEL, pulling nothing.
    virtual void OnCancel();

    // The (control, member) pairs; PullValues and PushValues run them.
    virtual void ExchangeValues(const ValueExchange& exchange);

    // False leaves the message to the system's default handling.
    virtual bool OnSysCommand(WPARAM command);
    virtual bool OnPaint();
    // The icon the system shows while the user drags the minimised window.
    virtual HICON OnQueryDragIcon();

    void PullValues();
    void PushValues();
    void EndDialog(INT_PTR result);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL InitDialog();
    // The dialog's own table, then the default OK and Cancel, then the application.
    bool RouteCommand(WORD notification, WORD id);
    void OnHelpKey(const HELPINFO& info);

    int templateId_;
    HWND window_ = nullptr;
};

// Connects a dialog class's static command table to the command routing.
template <typename Derived>
class DialogImpl : public Dialog {
public:
    using Dialog::Dialog;

protected:
    bool OnCommand(WORD notification, WORD id) override {
        return DispatchCommand(static_cast<Derived&>(*this), Derived::Commands(), notification, id);
    }
};

}  // namespace framework
