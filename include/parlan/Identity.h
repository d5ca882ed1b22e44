// The library's identity: names, version and identifiers that hosts bind to.
#pragma once

namespace parlan::identity {

inline constexpr char kFileName[] = "Parlan1.ocx";
inline constexpr char kVersion[] = "1.01";
inline constexpr char kFileVersion[] = "1.1.0.0";
inline constexpr char kLibraryName[] = "Parlan1";
inline constexpr char kLibraryVersion[] = "1.0";
inline constexpr int kLibraryLocale = 1033;
inline constexpr char kLibraryHelpString[] = "Parlan1";
inline constexpr char kLibraryId[] = "{0EAFAF93-599E-4114-A3C7-839B3BDCF1FA}";
inline constexpr char kClassName[] = "Parlana";
inline constexpr char kClassId[] = "{68568604-7098-4291-AEC4-8BB6962B883B}";
inline constexpr char kInterfaceName[] = "_Parlana";
inline constexpr char kInterfaceId[] = "{EF3E9A6B-BBF3-4E41-A35D-00C5EDDC9C81}";
inline constexpr char kEventInterfaceName[] = "__Parlana";
inline constexpr char kEventInterfaceId[] = "{47F3BBFC-D462-4C86-B055-4CC15C0053F7}";
inline constexpr char kLabelCaption[] = "KESTA Parlan";

}  // namespace parlan::identity
