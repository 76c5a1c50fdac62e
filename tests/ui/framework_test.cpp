// The framework's text conversions, which decide what the user reads in
// choosers and notices.
#include <gtest/gtest.h>

#include <string>

#include "framework/file_chooser.h"
#include "framework/message_box.h"
#include "framework/text_encoding.h"

namespace {

using namespace std::string_literals;

TEST(ChooserFilter, TurnsBarsIntoNulsEndedByTwo) {
    const std::string expected = "Video Files (*.rmvb)\0*.rmvb\0All Files (*.*)\0*.*\0\0"s;
    EXPECT_EQ(framework::ChooserFilter("Video Files (*.rmvb)|*.rmvb|All Files (*.*)|*.*||"),
              expected);
    // Without the closing bars the list must still be terminated.
    EXPECT_EQ(framework::ChooserFilter("Video Files (*.rmvb)|*.rmvb|All Files (*.*)|*.*"),
              expected);
}

TEST(ReplacePlaceholder, InsertsThePathOnceEvenWhenItHoldsAPlaceholder) {
    EXPECT_EQ(framework::ReplacePlaceholder(L"Disque plein lors de l'acc\u00E8s \u00E0 %1.",
                                            L"C:\\100%1\\film.rt"),
              L"Disque plein lors de l'acc\u00E8s \u00E0 C:\\100%1\\film.rt.");
    EXPECT_EQ(framework::ReplacePlaceholder(L"%1 and %1", L"x"), L"x and x");
    EXPECT_EQ(framework::ReplacePlaceholder(L"no argument", L"x"), L"no argument");
}

TEST(TextEncoding, KeepsFrenchAccentsFromUtf8WhateverTheCodePage) {
    EXPECT_EQ(framework::WideFromUtf8("acc\xC3\xA8s \xC3\xA0"), L"acc\u00E8s \u00E0");
    EXPECT_EQ(framework::WideFromUtf8(""), L"");
    EXPECT_EQ(framework::WideFromAnsi("C:\\subs\\film.srt"), L"C:\\subs\\film.srt");
}

TEST(ExecutableTitle, IsTheFileNameWithoutFolderOrExtension) {
    EXPECT_EQ(framework::ExecutableTitle(), L"ui_tests");
}

}  // namespace
