// The class identifiers of the control's three property pages. Once
// published they never change: saved projects and registries name them.
#pragma once
#include <windows.h>

namespace kestrix {

// KestrixProp1, "対象ｺﾝﾄﾛｰﾙ": the target controls.
inline constexpr CLSID CLSID_KestrixProp1 = {
    0xFB36C703, 0x6340, 0x40A4, {0xBE, 0xEB, 0x56, 0x03, 0x6C, 0x5C, 0x61, 0xD7}};
// KestrixProp2, "拡張ｲﾍﾞﾝﾄ": the target events.
inline constexpr CLSID CLSID_KestrixProp2 = {
    0xE48147E9, 0xC570, 0x4BF4, {0xB8, 0x9C, 0xFA, 0x0E, 0xE1, 0x11, 0x70, 0x26}};
// KestrixProp3, "詳細設定": the options.
inline constexpr CLSID CLSID_KestrixProp3 = {
    0x2EC5D106, 0xBE93, 0x4AF5, {0xB7, 0x35, 0x6E, 0xB8, 0xA6, 0x68, 0x01, 0x6A}};

// In the order the control names them.
inline constexpr CLSID kKestrixPages[] = {CLSID_KestrixProp1, CLSID_KestrixProp2, CLSID_KestrixProp3};

} // namespace kestrix
