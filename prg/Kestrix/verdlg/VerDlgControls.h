// The version dialog's caption and the ids of its children, shared with the
// tests.
#pragma once

namespace kestrix {

constexpr wchar_t kVerDlgCaption[] = L"Kestrixｺﾝﾄﾛｰﾙ ﾊﾞｰｼﾞｮﾝ情報";

enum VerDlgId : int {
    kVdProduct = 401, // Label1(0), "Kestrix"
    kVdVersion, // lbl_Ver
    kVdOk, // Command1
    kVdAuthorCaption, // Label1(2), "作成者"
    kVdAuthor, // Text1(0)
    kVdHomeCaption, // Label1(3), "Ｈ  Ｐ"
    kVdHome, // Text1(1)
    kVdMailCaption, // Label1(1), "メール"
    kVdMail, // Text1(2)
    kVdVisit, // Command2
};

} // namespace kestrix
