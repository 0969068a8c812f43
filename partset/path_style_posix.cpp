#include "partset/path_helpers.h"

namespace parcelo {

const PathStyle kNativePathStyle = PathStyle::Posix;
const char kSeparator = '/';

}  // namespace parcelo
