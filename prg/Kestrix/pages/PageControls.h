// The control ids of the three pages' children, one per control (an array
// element has its own id). The pages' layouts and the tests share them.
#pragma once

namespace kestrix::pages {

// One id a line, each with its control's name.
// clang-format off

// KestrixProp1, the target-controls page.
enum Prop1Id : int {
    kP1Heading = 101,   // lblTargetControls
    kP1ListCnt,         // lbl_ListCnt
    kP1CountCaption,    // Label1
    kP1SelCnt,          // lbl_SelCnt
    kP1SelectCaption,   // Label2
    kP1List,            // lst_FormControls
    kP1Msg,             // lbl_Msg1
    kP1SelectAll,       // cmd_Action(0)
    kP1ClearAll,        // cmd_Action(1)
};

// KestrixProp2, the target-events page.
enum Prop2Id : int {
    kP2Heading = 201,   // lblTargetEvents
    kP2ListCnt,         // lbl_ListCnt
    kP2CountCaption,    // Label1
    kP2SelCnt,          // lbl_SelCnt
    kP2SelectCaption,   // Label2
    kP2List,            // lst_TargetEvents
    kP2Msg0,            // lbl_Msg1(0)
    kP2SelectAll,       // cmd_Action(0)
    kP2ClearAll,        // cmd_Action(1)
    kP2Msg1,            // lbl_Msg1(1)
    kP2EventDec,        // txt_EventDec
    kP2Msg2,            // lbl_Msg1(2)
    kP2EventHex,        // txt_EventHex
};

// KestrixProp3, the options page.
enum Prop3Id : int {
    kP3DebugMode = 301, // chk_DebugMode
    kP3FileCaption,     // Label1(0)
    kP3DebugFile,       // txt_DebugFile
    kP3FileDropMode,    // chk_FileDropMode
    kP3DropNote,        // Label3
    kP3Link,            // chk_Link
    kP3LinkCaption,     // Label2
    kP3NameCaption,     // Label1(1)
    kP3LinkName,        // txt_LinkName
};

// clang-format on

} // namespace kestrix::pages
