#include "partset/path_helpers.h"

namespace parcelo {

const PathStyle kNativePathStyle = PathStyle::Windows;
const char kSeparator = '\\';

}  // namespace parcelo
