// The fixture most GUI tests share: a scratch folder, and Quillo started
// with that folder as its working directory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "converter_window.h"
#include "message_box.h"
#include "quillo_process.h"
#include "scratch_folder.h"

namespace quillo::gui {

class QuilloTest : public ::testing::Test {
protected:
    const ConverterWindow& window() const { return quillo_.Window(); }
    std::wstring Path(std::wstring_view name) const { return folder_.Path(name); }

    // Checks that the next box is one of the program's error notices with
    // `text`, owned by the converter window; presses OK and checks that the
    // window stays open.
    void ExpectErrorNotice(const std::wstring& text, const std::wstring& caption = L"Error") {
        const MessageBoxView box = MessageBoxView::WaitFor(quillo_);
        EXPECT_EQ(box.Text(), text);
        EXPECT_EQ(box.Caption(), caption);
        EXPECT_EQ(box.Buttons(), std::vector<int>{IDOK});
        EXPECT_EQ(box.Owner(), window().Handle());
        EXPECT_EQ(box.Icon(), StandardIcon::Stop);
        box.Answer(IDOK);
        EXPECT_TRUE(quillo_.StaysOpen()) << "the window closed after the notice";
    }

    // Folder first: it must outlive the program that may hold its files.
    ScratchFolder folder_;
    QuilloProcess quillo_{folder_.Root()};
};

}  // namespace quillo::gui
