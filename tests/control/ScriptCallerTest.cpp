// A bare caller: a script's CreateObject gives the control no site and
// never initialises or loads it. It behaves as at run time: every refused
// set raises its own error and leaves the value, nothing waits on a message
// box, and two instances share one store.
#include "CScript.h"
#include "KestrixFixture.h"

using namespace kxtest;

namespace {

// name=number|description|help file|help context, as the script writes it.
std::wstring Raised(LONG number, const wchar_t* text) {
    return std::to_wstring(number) + L"|" + text + L"|Kestrix.hlp|10";
}

const wchar_t kScript[] =
    LR"(
Sub Show(name, value)
    Out.WriteLine name & "=" & value
End Sub
Sub Raised(name)
    Out.WriteLine name & "=" & Err.Number & "|" & Err.Description & "|" & Err.HelpFile & "|" & Err.HelpContext
    Err.Clear
End Sub
Set k = CreateObject("Kestrix32.Kestrix")
Show "TargetControls", k.TargetControls
Show "TargetEvents", k.TargetEvents
Show "DebugMode", k.DebugMode
Show "DebugFile", k.DebugFile
Show "LinkName", k.LinkName
Show "FileDropMode", k.FileDropMode
Show "TargetHandle", k.TargetHandle
Show "IsEventsStart", k.IsEventsStart
On Error Resume Next
k.TargetControls = "Form1" : Raised "set TargetControls"
k.TargetEvents = "'12'" : Raised "set TargetEvents"
k.DebugFile = "x.dbg" : Raised "set DebugFile"
k.FileDropMode = False : Raised "set FileDropMode"
k.LinkName = "Other" : Raised "set LinkName"
k.TargetHandle = 12345 : Raised "set TargetHandle"
data = ""
sent = k.LinkSend("Kestrix", data) : Raised "LinkSend"
k.EventsStart : Raised "EventsStart"
k.DebugMode = False : Raised "set DebugMode"
On Error Goto 0
Show "TargetControls", k.TargetControls
Show "TargetEvents", k.TargetEvents
Show "DebugFile", k.DebugFile
Show "LinkName", k.LinkName
Show "FileDropMode", k.FileDropMode
Show "TargetHandle", k.TargetHandle
Set k2 = CreateObject("Kestrix32.Kestrix")
Show "second DebugMode", k2.DebugMode
Out.WriteLine "done"
)";

} // namespace

TEST_F(KestrixTest, AScriptsBareInstanceKeepsRunTimeRulesAndRaisesEveryRefusal) {
    const ScriptRun run = RunVbScript(kScript);
    ASSERT_TRUE(run.finished) << "the script was held up (a message box?)";
    const std::vector<std::wstring> expected = {
        L"TargetControls=(Nothing)", L"TargetEvents=ALL", L"DebugMode=True", L"DebugFile=Kestrix.Dbg",
        L"LinkName=Kestrix", L"FileDropMode=True", L"TargetHandle=0", L"IsEventsStart=False",
        L"set TargetControls=" + Raised(10005, L"実行時にTargetControls ﾌﾟﾛﾊﾟﾃｨは設定できません"),
        L"set TargetEvents=" + Raised(10011, L"実行時にTargetEvents ﾌﾟﾛﾊﾟﾃｨは設定できません"),
        L"set DebugFile=" + Raised(10013, L"実行時にDebugFile ﾌﾟﾛﾊﾟﾃｨは設定できません"),
        L"set FileDropMode=" + Raised(10020, L"実行時にFileDropMode ﾌﾟﾛﾊﾟﾃｨは設定できません"),
        L"set LinkName=" + Raised(10018, L"実行時にLinkName ﾌﾟﾛﾊﾟﾃｨは設定できません"),
        L"set TargetHandle=" + Raised(10016, L"対象ハンドル値が有効ではありません"),
        L"LinkSend=" + Raised(10017, L"LinkData は必須です"),
        L"EventsStart=" + Raised(10006, L"TargetControls と TargetHandle ﾌﾟﾛﾊﾟﾃｨが設定されていません"),
        L"set DebugMode=0|||0",
        // Every refused set left its value as it was.
        L"TargetControls=(Nothing)", L"TargetEvents=ALL", L"DebugFile=Kestrix.Dbg", L"LinkName=Kestrix",
        L"FileDropMode=True", L"TargetHandle=0", L"second DebugMode=False", L"done"};
    EXPECT_EQ(run.lines, expected);
}
