#pragma once

#include <functional>
#include <string>

namespace parcelo {

// The two kinds of message box: critical for a refused operation,
// information for a success.
enum class MessageKind { Critical, Information };

// One message box: what the user is told about an operation's outcome.
struct Message {
  MessageKind kind;
  std::string title;
  std::string text;
};

// Shows a message box; the split and the join tell every outcome through it.
using MessageSink = std::function<void(const Message&)>;

// What an operation came to, beside the box it showed.
enum class Outcome { Done, Refused };

}  // namespace parcelo
