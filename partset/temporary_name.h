#pragma once

#include <cstddef>
#include <string_view>

namespace parcelo {

// The hidden temporaries a split or join writes before its commit are
// named ".parcelo-" and eight of these letters or digits: 17 characters,
// which every file system that takes a part's name takes too.
inline constexpr std::string_view kTemporaryPrefix = ".parcelo-";
inline constexpr std::size_t kTemporaryLetters = 8;
inline constexpr std::string_view kTemporaryNameLetters = "abcdefghijklmnopqrstuvwxyz0123456789";

// True for a name of that form: one a killed run may have left, and which
// no set's file or joined file may have.
bool IsTemporaryName(std::string_view name);

}  // namespace parcelo
