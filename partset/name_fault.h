#pragma once

namespace parcelo {

// What keeps a name from its use, the first fault found; kNone when
// nothing does.
enum class NameFault {
  kNone,
  kEmpty,
  kDotName,            // "." or ".."
  kTooLong,            // over kMaxFileNameBytes
  kSeparator,          // "/", and "\" on Windows
  kControlCharacter,   // below U+0020, or U+007F
  kReservedCharacter,  // < > : " | ? * on Windows
  kTrailingDot,        // on Windows
  kLeadingSpace,       // lost by the info file
  kTrailingSpace,      // lost by the info file, and by Windows
  kDeviceName,         // CON, NUL, COM1, ... on Windows
  kSetFileName,        // a part's, the info file's or the checksum file's
  kForeignEncoding,    // bytes the info file brings back as other characters
};

}  // namespace parcelo
