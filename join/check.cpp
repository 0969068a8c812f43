#include "join/check.h"

#include "operation/messages.h"
#include "operation/run_reported.h"

namespace parcelo {

Report Check(const std::string& folder, const Progress& progress, const ListingSeen& listed) {
  return RunReported(messages::kCheckCancelledTitle, [&] {
    std::variant<PartSet, Report> read = ReadPartSet(folder, listed);
    if (Report* refusal = std::get_if<Report>(&read)) return *refusal;
    const PartSet& set = std::get<PartSet>(read);
    if (!set.checksummed) {
      return BoxReport(Outcome::Refused, MessageKind::Critical, messages::kCheckErrorTitle,
                       messages::kNoChecksums);
    }
    ReadParts(set, nullptr, progress);
    return BoxReport(Outcome::Done, MessageKind::Information, messages::kCheckDoneTitle,
                     messages::CheckDone(folder, set.parts.size()));
  });
}

}  // namespace parcelo
