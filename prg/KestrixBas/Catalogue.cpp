// The catalogue of window messages known by name: two texts laid out
// character for character in parallel. Entry k of the values is the
// decimal value of name k, padded with blanks to the same width, so the
// quote that opens an entry stands at one position in both texts.
#include "KestrixBas.h"

// The catalogue keeps its own layout.
// clang-format off
const wchar_t Def_AllEventsName[] =
    L"'WM_ACTIVATE',"
    L"'WM_ACTIVATEAPP',"
    L"'WM_ASKCBFORMATNAME',"
    L"'WM_CANCELJOURNAL',"
    L"'WM_CANCELMODE',"
    L"'WM_CHANGECBCHAIN',"
    L"'WM_CHAR',"
    L"'WM_CHARTOITEM',"
    L"'WM_CHILDACTIVATE',"
    L"'WM_CLEAR',"
    L"'WM_CLOSE',"
    L"'WM_COMMAND',"
    L"'WM_COMMNOTIFY',"
    L"'WM_COMPACTING',"
    L"'WM_COMPAREITEM',"
    L"'WM_CONVERTREQUESTEX',"
    L"'WM_COPY',"
    L"'WM_COPYDATA',"
    L"'WM_CREATE',"
    L"'WM_CTLCOLORBTN',"
    L"'WM_CTLCOLORDLG',"
    L"'WM_CTLCOLOREDIT',"
    L"'WM_CTLCOLORLISTBOX',"
    L"'WM_CTLCOLORMSGBOX',"
    L"'WM_CTLCOLORSCROLLBAR',"
    L"'WM_CTLCOLORSTATIC',"
    L"'WM_CUT',"
    L"'WM_DDE_FIRST',"
    L"'WM_DEADCHAR',"
    L"'WM_DELETEITEM',"
    L"'WM_DESTROY',"
    L"'WM_DESTROYCLIPBOARD',"
    L"'WM_DEVMODECHANGE',"
    L"'WM_DRAWCLIPBOARD',"
    L"'WM_DRAWITEM',"
    L"'WM_DROPFILES',"
    L"'WM_ENABLE',"
    L"'WM_ENDSESSION',"
    L"'WM_ENTERIDLE',"
    L"'WM_ENTERMENULOOP',"
    L"'WM_ERASEBKGND',"
    L"'WM_EXITMENULOOP',"
    L"'WM_FONTCHANGE',"
    L"'WM_GETDLGCODE',"
    L"'WM_GETFONT',"
    L"'WM_GETHOTKEY',"
    L"'WM_GETMINMAXINFO',"
    L"'WM_GETTEXT',"
    L"'WM_GETTEXTLENGTH',"
    L"'WM_HOTKEY',"
    L"'WM_HSCROLL',"
    L"'WM_HSCROLLCLIPBOARD',"
    L"'WM_ICONERASEBKGND',"
    L"'WM_IME_CHAR',"
    L"'WM_IME_COMPOSITION',"
    L"'WM_IME_COMPOSITIONFULL',"
    L"'WM_IME_CONTROL',"
    L"'WM_IME_ENDCOMPOSITION',"
    L"'WM_IME_KEYDOWN',"
    L"'WM_IME_KEYLAST',"
    L"'WM_IME_KEYUP',"
    L"'WM_IME_NOTIFY',"
    L"'WM_IME_SELECT',"
    L"'WM_IME_SETCONTEXT',"
    L"'WM_IME_STARTCOMPOSITION',"
    L"'WM_INITDIALOG',"
    L"'WM_INITMENU',"
    L"'WM_INITMENUPOPUP',"
    L"'WM_KEYDOWN',"
    L"'WM_KEYFIRST',"
    L"'WM_KEYLAST',"
    L"'WM_KEYUP',"
    L"'WM_KILLFOCUS',"
    L"'WM_LBUTTONDBLCLK',"
    L"'WM_LBUTTONDOWN',"
    L"'WM_LBUTTONUP',"
    L"'WM_MBUTTONDBLCLK',"
    L"'WM_MBUTTONDOWN',"
    L"'WM_MBUTTONUP',"
    L"'WM_MDIACTIVATE',"
    L"'WM_MDICASCADE',"
    L"'WM_MDICREATE',"
    L"'WM_MDIDESTROY',"
    L"'WM_MDIGETACTIVE',"
    L"'WM_MDIICONARRANGE',"
    L"'WM_MDIMAXIMIZE',"
    L"'WM_MDINEXT',"
    L"'WM_MDIREFRESHMENU',"
    L"'WM_MDIRESTORE',"
    L"'WM_MDISETMENU',"
    L"'WM_MDITILE',"
    L"'WM_MEASUREITEM',"
    L"'WM_MENUCHAR',"
    L"'WM_MENUSELECT',"
    L"'WM_MOUSEACTIVATE',"
    L"'WM_MOUSEFIRST',"
    L"'WM_MOUSELAST',"
    L"'WM_MOUSEMOVE',"
    L"'WM_MOVE',"
    L"'WM_NCACTIVATE',"
    L"'WM_NCCALCSIZE',"
    L"'WM_NCCREATE',"
    L"'WM_NCDESTROY',"
    L"'WM_NCHITTEST',"
    L"'WM_NCLBUTTONDBLCLK',"
    L"'WM_NCLBUTTONDOWN',"
    L"'WM_NCLBUTTONUP',"
    L"'WM_NCMBUTTONDBLCLK',"
    L"'WM_NCMBUTTONDOWN',"
    L"'WM_NCMBUTTONUP',"
    L"'WM_NCMOUSEMOVE',"
    L"'WM_NCPAINT',"
    L"'WM_NCRBUTTONDBLCLK',"
    L"'WM_NCRBUTTONDOWN',"
    L"'WM_NCRBUTTONUP',"
    L"'WM_NEXTDLGCTL',"
    L"'WM_NULL',"
    L"'WM_OTHERWINDOWCREATED',"
    L"'WM_OTHERWINDOWDESTROYED',"
    L"'WM_PAINT',"
    L"'WM_PAINTCLIPBOARD',"
    L"'WM_PAINTICON',"
    L"'WM_PALETTECHANGED',"
    L"'WM_PALETTEISCHANGING',"
    L"'WM_PARENTNOTIFY',"
    L"'WM_PASTE',"
    L"'WM_PENWINFIRST',"
    L"'WM_PENWINLAST',"
    L"'WM_POWER',"
    L"'WM_QUERYDRAGICON',"
    L"'WM_QUERYENDSESSION',"
    L"'WM_QUERYNEWPALETTE',"
    L"'WM_QUERYOPEN',"
    L"'WM_QUEUESYNC',"
    L"'WM_QUIT',"
    L"'WM_RBUTTONDBLCLK',"
    L"'WM_RBUTTONDOWN',"
    L"'WM_RBUTTONUP',"
    L"'WM_RENDERALLFORMATS',"
    L"'WM_RENDERFORMAT',"
    L"'WM_SETCURSOR',"
    L"'WM_SETFOCUS',"
    L"'WM_SETFONT',"
    L"'WM_SETHOTKEY',"
    L"'WM_SETREDRAW',"
    L"'WM_SETTEXT',"
    L"'WM_SHOWWINDOW',"
    L"'WM_SIZE',"
    L"'WM_SIZECLIPBOARD',"
    L"'WM_SPOOLERSTATUS',"
    L"'WM_SYSCHAR',"
    L"'WM_SYSCOLORCHANGE',"
    L"'WM_SYSCOMMAND',"
    L"'WM_SYSDEADCHAR',"
    L"'WM_SYSKEYDOWN',"
    L"'WM_SYSKEYUP',"
    L"'WM_TIMECHANGE',"
    L"'WM_TIMER',"
    L"'WM_UNDO',"
    L"'WM_USER',"
    L"'WM_VKEYTOITEM',"
    L"'WM_VSCROLL',"
    L"'WM_VSCROLLCLIPBOARD',"
    L"'WM_WINDOWPOSCHANGED',"
    L"'WM_WINDOWPOSCHANGING',"
    L"'WM_WININICHANGE'";

const wchar_t Def_AllEventsValue[] =
    L"'6          ',"  // WM_ACTIVATE
    L"'28            ',"  // WM_ACTIVATEAPP
    L"'780               ',"  // WM_ASKCBFORMATNAME
    L"'75              ',"  // WM_CANCELJOURNAL
    L"'31           ',"  // WM_CANCELMODE
    L"'781             ',"  // WM_CHANGECBCHAIN
    L"'258    ',"  // WM_CHAR
    L"'47           ',"  // WM_CHARTOITEM
    L"'34              ',"  // WM_CHILDACTIVATE
    L"'771     ',"  // WM_CLEAR
    L"'16      ',"  // WM_CLOSE
    L"'273       ',"  // WM_COMMAND
    L"'68           ',"  // WM_COMMNOTIFY
    L"'65           ',"  // WM_COMPACTING
    L"'57            ',"  // WM_COMPAREITEM
    L"'264                ',"  // WM_CONVERTREQUESTEX
    L"'769    ',"  // WM_COPY
    L"'74         ',"  // WM_COPYDATA
    L"'1        ',"  // WM_CREATE
    L"'309           ',"  // WM_CTLCOLORBTN
    L"'310           ',"  // WM_CTLCOLORDLG
    L"'307            ',"  // WM_CTLCOLOREDIT
    L"'308               ',"  // WM_CTLCOLORLISTBOX
    L"'306              ',"  // WM_CTLCOLORMSGBOX
    L"'311                 ',"  // WM_CTLCOLORSCROLLBAR
    L"'312              ',"  // WM_CTLCOLORSTATIC
    L"'768   ',"  // WM_CUT
    L"'992         ',"  // WM_DDE_FIRST
    L"'259        ',"  // WM_DEADCHAR
    L"'45           ',"  // WM_DELETEITEM
    L"'2         ',"  // WM_DESTROY
    L"'775                ',"  // WM_DESTROYCLIPBOARD
    L"'27              ',"  // WM_DEVMODECHANGE
    L"'776             ',"  // WM_DRAWCLIPBOARD
    L"'43         ',"  // WM_DRAWITEM
    L"'563         ',"  // WM_DROPFILES
    L"'10       ',"  // WM_ENABLE
    L"'22           ',"  // WM_ENDSESSION
    L"'289         ',"  // WM_ENTERIDLE
    L"'529             ',"  // WM_ENTERMENULOOP
    L"'20           ',"  // WM_ERASEBKGND
    L"'530            ',"  // WM_EXITMENULOOP
    L"'29           ',"  // WM_FONTCHANGE
    L"'135          ',"  // WM_GETDLGCODE
    L"'49        ',"  // WM_GETFONT
    L"'51          ',"  // WM_GETHOTKEY
    L"'36              ',"  // WM_GETMINMAXINFO
    L"'13        ',"  // WM_GETTEXT
    L"'14              ',"  // WM_GETTEXTLENGTH
    L"'786      ',"  // WM_HOTKEY
    L"'276       ',"  // WM_HSCROLL
    L"'782                ',"  // WM_HSCROLLCLIPBOARD
    L"'39               ',"  // WM_ICONERASEBKGND
    L"'646        ',"  // WM_IME_CHAR
    L"'271               ',"  // WM_IME_COMPOSITION
    L"'644                   ',"  // WM_IME_COMPOSITIONFULL
    L"'643           ',"  // WM_IME_CONTROL
    L"'270                  ',"  // WM_IME_ENDCOMPOSITION
    L"'656           ',"  // WM_IME_KEYDOWN
    L"'271           ',"  // WM_IME_KEYLAST
    L"'657         ',"  // WM_IME_KEYUP
    L"'642          ',"  // WM_IME_NOTIFY
    L"'645          ',"  // WM_IME_SELECT
    L"'641              ',"  // WM_IME_SETCONTEXT
    L"'269                    ',"  // WM_IME_STARTCOMPOSITION
    L"'272          ',"  // WM_INITDIALOG
    L"'278        ',"  // WM_INITMENU
    L"'279             ',"  // WM_INITMENUPOPUP
    L"'256       ',"  // WM_KEYDOWN
    L"'256        ',"  // WM_KEYFIRST
    L"'264       ',"  // WM_KEYLAST
    L"'257     ',"  // WM_KEYUP
    L"'8           ',"  // WM_KILLFOCUS
    L"'515             ',"  // WM_LBUTTONDBLCLK
    L"'513           ',"  // WM_LBUTTONDOWN
    L"'514         ',"  // WM_LBUTTONUP
    L"'521             ',"  // WM_MBUTTONDBLCLK
    L"'519           ',"  // WM_MBUTTONDOWN
    L"'520         ',"  // WM_MBUTTONUP
    L"'546           ',"  // WM_MDIACTIVATE
    L"'551          ',"  // WM_MDICASCADE
    L"'544         ',"  // WM_MDICREATE
    L"'545          ',"  // WM_MDIDESTROY
    L"'553            ',"  // WM_MDIGETACTIVE
    L"'552              ',"  // WM_MDIICONARRANGE
    L"'549           ',"  // WM_MDIMAXIMIZE
    L"'548       ',"  // WM_MDINEXT
    L"'564              ',"  // WM_MDIREFRESHMENU
    L"'547          ',"  // WM_MDIRESTORE
    L"'560          ',"  // WM_MDISETMENU
    L"'550       ',"  // WM_MDITILE
    L"'44            ',"  // WM_MEASUREITEM
    L"'288        ',"  // WM_MENUCHAR
    L"'287          ',"  // WM_MENUSELECT
    L"'33              ',"  // WM_MOUSEACTIVATE
    L"'512          ',"  // WM_MOUSEFIRST
    L"'521         ',"  // WM_MOUSELAST
    L"'512         ',"  // WM_MOUSEMOVE
    L"'3      ',"  // WM_MOVE
    L"'134          ',"  // WM_NCACTIVATE
    L"'131          ',"  // WM_NCCALCSIZE
    L"'129        ',"  // WM_NCCREATE
    L"'130         ',"  // WM_NCDESTROY
    L"'132         ',"  // WM_NCHITTEST
    L"'163               ',"  // WM_NCLBUTTONDBLCLK
    L"'161             ',"  // WM_NCLBUTTONDOWN
    L"'162           ',"  // WM_NCLBUTTONUP
    L"'169               ',"  // WM_NCMBUTTONDBLCLK
    L"'167             ',"  // WM_NCMBUTTONDOWN
    L"'168           ',"  // WM_NCMBUTTONUP
    L"'160           ',"  // WM_NCMOUSEMOVE
    L"'133       ',"  // WM_NCPAINT
    L"'166               ',"  // WM_NCRBUTTONDBLCLK
    L"'164             ',"  // WM_NCRBUTTONDOWN
    L"'165           ',"  // WM_NCRBUTTONUP
    L"'40           ',"  // WM_NEXTDLGCTL
    L"'0      ',"  // WM_NULL
    L"'66                   ',"  // WM_OTHERWINDOWCREATED
    L"'67                     ',"  // WM_OTHERWINDOWDESTROYED
    L"'15      ',"  // WM_PAINT
    L"'777              ',"  // WM_PAINTCLIPBOARD
    L"'38          ',"  // WM_PAINTICON
    L"'785              ',"  // WM_PALETTECHANGED
    L"'784                 ',"  // WM_PALETTEISCHANGING
    L"'528            ',"  // WM_PARENTNOTIFY
    L"'770     ',"  // WM_PASTE
    L"'896           ',"  // WM_PENWINFIRST
    L"'911          ',"  // WM_PENWINLAST
    L"'72      ',"  // WM_POWER
    L"'55              ',"  // WM_QUERYDRAGICON
    L"'17                ',"  // WM_QUERYENDSESSION
    L"'783               ',"  // WM_QUERYNEWPALETTE
    L"'19          ',"  // WM_QUERYOPEN
    L"'35          ',"  // WM_QUEUESYNC
    L"'18     ',"  // WM_QUIT
    L"'518             ',"  // WM_RBUTTONDBLCLK
    L"'516           ',"  // WM_RBUTTONDOWN
    L"'517         ',"  // WM_RBUTTONUP
    L"'774                ',"  // WM_RENDERALLFORMATS
    L"'773            ',"  // WM_RENDERFORMAT
    L"'32          ',"  // WM_SETCURSOR
    L"'7          ',"  // WM_SETFOCUS
    L"'48        ',"  // WM_SETFONT
    L"'50          ',"  // WM_SETHOTKEY
    L"'11          ',"  // WM_SETREDRAW
    L"'12        ',"  // WM_SETTEXT
    L"'24           ',"  // WM_SHOWWINDOW
    L"'5      ',"  // WM_SIZE
    L"'779             ',"  // WM_SIZECLIPBOARD
    L"'42              ',"  // WM_SPOOLERSTATUS
    L"'262       ',"  // WM_SYSCHAR
    L"'21               ',"  // WM_SYSCOLORCHANGE
    L"'274          ',"  // WM_SYSCOMMAND
    L"'263           ',"  // WM_SYSDEADCHAR
    L"'260          ',"  // WM_SYSKEYDOWN
    L"'261        ',"  // WM_SYSKEYUP
    L"'30           ',"  // WM_TIMECHANGE
    L"'275     ',"  // WM_TIMER
    L"'772    ',"  // WM_UNDO
    L"'1024   ',"  // WM_USER
    L"'46           ',"  // WM_VKEYTOITEM
    L"'277       ',"  // WM_VSCROLL
    L"'778                ',"  // WM_VSCROLLCLIPBOARD
    L"'71                 ',"  // WM_WINDOWPOSCHANGED
    L"'70                  ',"  // WM_WINDOWPOSCHANGING
    L"'26             '";  // WM_WININICHANGE

static_assert(sizeof(Def_AllEventsName) / sizeof(wchar_t) == Def_AllEventsLength + 1, "catalogue names");
// clang-format on
static_assert(sizeof(Def_AllEventsValue) / sizeof(wchar_t) == Def_AllEventsLength + 1, "catalogue values");
