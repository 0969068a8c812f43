#include "partset/temporary_name.h"

namespace parcelo {

bool IsTemporaryName(std::string_view name) {
  return name.size() == kTemporaryPrefix.size() + kTemporaryLetters &&
         name.starts_with(kTemporaryPrefix) &&
         name.find_first_not_of(kTemporaryNameLetters, kTemporaryPrefix.size()) ==
             std::string_view::npos;
}

}  // namespace parcelo
