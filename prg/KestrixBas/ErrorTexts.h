// The library's own errors, 10003 to 10021: numbers and their messages,
// exactly as the developer sees them. The engine reports the first two, the
// control the rest.
#pragma once
#include <windows.h>

namespace kestrix {

constexpr LONG kErrTargetHandleInvalid = 10003;
constexpr LONG kErrControlInvalid = 10004;
constexpr LONG kErrTargetControlsRunTime = 10005;
constexpr LONG kErrNothingToCapture = 10006;
constexpr LONG kErrNoTargetEvents = 10007;
constexpr LONG kErrNoHwnd = 10008;
constexpr LONG kErrNotFound = 10009;
constexpr LONG kErrCaptureFailed = 10010;
constexpr LONG kErrTargetEventsRunTime = 10011;
constexpr LONG kErrTargetEventsBlank = 10012;
constexpr LONG kErrDebugFileRunTime = 10013;
constexpr LONG kErrDebugFileBlank = 10014;
constexpr LONG kErrTargetHandleDesign = 10015;
constexpr LONG kErrTargetHandleNoWindow = 10016;
constexpr LONG kErrLinkDataRequired = 10017;
constexpr LONG kErrLinkNameRunTime = 10018;
constexpr LONG kErrLinkNameBlank = 10019;
constexpr LONG kErrFileDropModeRunTime = 10020;
constexpr LONG kErrNoMessage = 10021;

constexpr wchar_t kMsgTargetHandleInvalid[] = L"TargetHandle ﾌﾟﾛﾊﾟﾃｨが不正です";
constexpr wchar_t kMsgControlInvalidTail[] = L" が不正です"; // after the control's Name
constexpr wchar_t kMsgTargetControlsRunTime[] = L"実行時にTargetControls ﾌﾟﾛﾊﾟﾃｨは設定できません";
constexpr wchar_t kMsgNothingToCapture[] = L"TargetControls と TargetHandle ﾌﾟﾛﾊﾟﾃｨが設定されていません";
constexpr wchar_t kMsgNoTargetEvents[] = L"TargetEvents ﾌﾟﾛﾊﾟﾃｨが設定されていません";
constexpr wchar_t kMsgNoHwndHead[] = L"TargetControlsﾌﾟﾛﾊﾟﾃｨの '";
constexpr wchar_t kMsgNoHwndTail[] = L"' はhWndﾌﾟﾛﾊﾟﾃｨがｻﾎﾟｰﾄされていないｺﾝﾄﾛｰﾙです";
constexpr wchar_t kMsgNotFoundHead[] = L"TargetControlsﾌﾟﾛﾊﾟﾃｨの '";
constexpr wchar_t kMsgNotFoundTail[] = L"' が見つかりません";
constexpr wchar_t kMsgCaptureFailed[] = L"イベントの取得に失敗しました";
constexpr wchar_t kMsgTargetEventsRunTime[] = L"実行時にTargetEvents ﾌﾟﾛﾊﾟﾃｨは設定できません";
constexpr wchar_t kMsgTargetEventsBlank[] = L"対象イベント値が指定されていません";
constexpr wchar_t kMsgDebugFileRunTime[] = L"実行時にDebugFile ﾌﾟﾛﾊﾟﾃｨは設定できません";
constexpr wchar_t kMsgDebugFileBlank[] = L"デバッグファイルが指定されていません";
constexpr wchar_t kMsgTargetHandleDesign[] = L"デザイン時にTargetHandle ﾌﾟﾛﾊﾟﾃｨは設定できません";
constexpr wchar_t kMsgTargetHandleNoWindow[] = L"対象ハンドル値が有効ではありません";
constexpr wchar_t kMsgLinkDataRequired[] = L"LinkData は必須です";
constexpr wchar_t kMsgLinkNameRunTime[] = L"実行時にLinkName ﾌﾟﾛﾊﾟﾃｨは設定できません";
constexpr wchar_t kMsgLinkNameBlank[] = L"LinkName ﾌﾟﾛﾊﾟﾃｨが指定されていません";
constexpr wchar_t kMsgFileDropModeRunTime[] = L"実行時にFileDropMode ﾌﾟﾛﾊﾟﾃｨは設定できません";
constexpr wchar_t kMsgNoMessage[] =
    L"GetEvents ｲﾍﾞﾝﾄの外では ReturnValue ﾌﾟﾛﾊﾟﾃｨと CallOriginal ﾒｿｯﾄﾞは使用できません";

// Every own error carries the library's help file and this topic.
constexpr wchar_t kHelpFile[] = L"Kestrix.hlp";
constexpr LONG kHelpContext = 10;
constexpr wchar_t kTitle[] = L"Kestrix";
// The help that the message boxes' Help button opens: the errors topic of
// the HTML Help file beside the library.
constexpr wchar_t kHelpChm[] = L"Kestrix.chm";
constexpr wchar_t kHelpTopic[] = L"::/errors.html";
constexpr wchar_t kMsgHelpMissing[] = L"ヘルプ ファイルがありません。次の場所に置いてください:\r\n";
constexpr wchar_t kMsgHelpNotOpened[] = L"ヘルプを開けませんでした:\r\n";
// Critical-stop icon and a Help button beside OK.
constexpr UINT kMessageStyle = MB_ICONSTOP | MB_HELP;

} // namespace kestrix
