// Shared by the saved-form tests: the sample form and exact comparisons.
#pragma once
#include "FormFile.h"
#include <cstring>
#include <gtest/gtest.h>

namespace kxtest {

// The same text as FormFileSample.frm (the test resource).
inline const wchar_t kSampleForm[] =
    L"' Kestrix saved form\n"
    L"Form DragDropFrm\n"
    L"    Caption = \"ドラッグ＆ドロップ\"\n"
    L"    ClientWidth = 4680\n"
    L"    ClientHeight = 3195\n"
    L"    FontName = \"ＭＳ Ｐゴシック\"\n"
    L"    FontSize = 9\n"
    L"    Begin ListBox List1\n"
    L"        Left = 120\n"
    L"        Top = 120\n"
    L"        Width = 4455\n"
    L"        Height = 2220\n"
    L"        TabIndex = 0\n"
    L"        Sorted = False\n"
    L"    End\n"
    L"    Begin CommandButton Command1(0)\n"
    L"        Caption = \"OK\"\n"
    L"        TabIndex = 1\n"
    L"    End\n"
    L"    Begin Control Kestrix1 \"Kestrix32.Kestrix\"\n"
    L"        Left = 4080\n"
    L"        Top = 2400\n"
    L"        Bag targetcontrols = \"DragDropFrm,Command1,List1\"\n"
    L"        Bag debugmode = False\n"
    L"        Bag targethandle = 0\n"
    L"    End\n"
    L"End\n";

// Doubles compare by their bits, so -0.0 differs from 0.0.
inline bool SameValue(const kxhost::Value& a, const kxhost::Value& b) {
    if (a.index() != b.index()) return false;
    if (const double* d = std::get_if<double>(&a)) return std::memcmp(d, &std::get<double>(b), sizeof *d) == 0;
    return a == b;
}

inline void ExpectSameProps(const std::vector<kxhost::Property>& a, const std::vector<kxhost::Property>& b,
                            const std::string& where) {
    ASSERT_EQ(a.size(), b.size()) << where;
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].name, b[i].name) << where << " #" << i;
        EXPECT_TRUE(SameValue(a[i].value, b[i].value)) << where << " " << i;
    }
}

// Everything but the line numbers.
inline void ExpectSameForm(const kxhost::FormDesc& a, const kxhost::FormDesc& b) {
    EXPECT_EQ(a.name, b.name);
    ExpectSameProps(a.props, b.props, "form");
    ASSERT_EQ(a.controls.size(), b.controls.size());
    for (size_t i = 0; i < a.controls.size(); ++i) {
        const kxhost::ControlDesc& x = a.controls[i];
        const kxhost::ControlDesc& y = b.controls[i];
        const std::string where = "control " + std::to_string(i);
        EXPECT_EQ(x.kind, y.kind) << where;
        EXPECT_EQ(x.progId, y.progId) << where;
        EXPECT_EQ(x.name, y.name) << where;
        EXPECT_EQ(x.index, y.index) << where;
        ExpectSameProps(x.props, y.props, where);
        ExpectSameProps(x.bag, y.bag, where + " bag");
    }
}

} // namespace kxtest
