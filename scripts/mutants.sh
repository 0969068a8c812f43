#!/usr/bin/env bash
# Breaks the code on purpose, one fault at a time, and checks that the test
# suite notices each: the faults that matter most to users' data and to the
# window. Each row: file, the text to replace, its broken form, the test
# program that must fail. Run after a normal build (build/); it restores
# every file it touches. Usage: scripts/mutants.sh [BUILD_DIR] [TEST_PATTERN]
# (TEST_PATTERN, a grep -E pattern: only the rows whose test program matches)
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
only=${2:-}
export PARCELO_CLI=$PWD/$build/parcelo-cli QT_QPA_PLATFORM=offscreen
survived=0
total=0

# Puts a file back, with a new time stamp, so that the build sees it changed
# again (the broken build is newer than the backup).
restore() {
  cp "$1.mutant-backup" "$1" && rm "$1.mutant-backup" && touch "$1"
}

mutant() {
  local file=$1 from=$2 to=$3 test=$4
  if [ -n "$only" ] && ! grep -qE "$only" <<<"$test"; then return; fi
  total=$((total + 1))
  cp "$file" "$file.mutant-backup"
  if ! python3 - "$file" "$from" "$to" <<'PY'
import sys
path, old, new = sys.argv[1:4]
text = open(path).read()
if old not in text:
    sys.exit(1)
open(path, "w").write(text.replace(old, new, 1))
PY
  then
    echo "STALE: $file: the text to break is no longer there: $from"
    restore "$file"
    survived=$((survived + 1))
    return
  fi
  local program
  program=$(find "$build/tests" -name "$test" -type f -perm -u+x | head -n 1)
  if cmake --build "$build" --target "$test" >/dev/null 2>&1 && timeout 300 "$program" >/dev/null 2>&1; then
    echo "SURVIVED: $file: $from"
    survived=$((survived + 1))
  else
    echo "caught: $file: $from"
  fi
  restore "$file"
}

# The file layer.
mutant io/file.cpp 'if (const int error = Sys().Close(handle)) throw' 'if (const int error = Sys().Close(handle); error && false) throw' io_file_test
mutant io/file.cpp 'if (status.kind != FileStatus::Kind::Regular) {' 'if (false) {' io_file_test
mutant io/replacement_file.cpp '  file_.Close();
  if (const int error = Sys().Rename' '  committed_ = true;
  file_.Close();
  if (const int error = Sys().Rename' io_replacement_file_test
mutant io/replacement_file.cpp 'mode = old->mode & modeLimit_;' 'mode = old->mode;' io_replacement_file_test
mutant io/replacement_file.cpp 'return IsWorldWritable(folder) && (folder.mode & 01000)' 'return false && IsWorldWritable(folder) && (folder.mode & 01000)' io_replacement_file_test
mutant io/replacement_file.cpp 'Sys().SetOwner(file_.handle(), giveTo->owner, giveTo->group) == 0;' 'true;' io_replacement_file_test
mutant io/replacement_file.cpp 'mode &= ~std::uint32_t{0070};' '' io_replacement_file_test
mutant io/folder.cpp '  Sys().SetOwner(handle(), owner, group);' '  (void)owner, (void)group;' io_replacement_file_test
mutant io/replacement_file.cpp 'if (const int error = folder.WriteAccessError(name)) {' 'if (const int error = folder.WriteAccessError(name); error && false) {' io_replacement_file_test
mutant io/replacement_file.cpp 'if (error != EEXIST || attempt == kNameAttempts) {
      throw FileError(error, FileOperation::Create' 'if (true) {
      throw FileError(error, FileOperation::Create' io_replacement_file_test
mutant io/sys_calls_posix.cpp 'flags |= O_TMPFILE;' 'return -1;' io_stop_signals_test
mutant io/folder.cpp 'if (lock_.held()) return;' 'return;' split_split_test
mutant io/block_sharing.cpp 'supported_ = false;' '' io_copy_range_test
mutant io/write_behind.cpp 'WriteBehind::~WriteBehind() { Start(written_); }' 'WriteBehind::~WriteBehind() {}' io_write_behind_test
mutant io/folder_listing.cpp 'throw FileError(error.code(), FileOperation::ListFolder, folder.path());' 'return {};' io_folder_test
mutant io/folder_listing.cpp "if (name.front() == '.') continue;" '' split_split_test
mutant io/path_kind.cpp 'if (status.kind == FileStatus::Kind::SymbolicLink) {' 'if (false) {' io_path_kind_test
mutant io/stop_signals.cpp 'std::signal(SIGXFSZ, SIG_IGN);' '' io_stop_signals_test
mutant io/sys_calls_posix.cpp 'if (::fstatat(FolderFd(folder), name, &raw, AT_SYMLINK_NOFOLLOW) != 0)' 'if (::fstatat(FolderFd(folder), name, &raw, 0) != 0)' split_split_test
# The part set's text.
mutant partset/info_file.h 'kInfoFileReadLimit = 4097;' 'kInfoFileReadLimit = 8193;' join_join_test
mutant partset/info_file.cpp 'if (sourceName.empty()) return NameFault::kEmpty;' 'return NameFault::kNone;' split_split_test
mutant partset/info_file.cpp "sourceName.back() == ' ') return NameFault::kTrailingSpace" "sourceName.back() == ' ') return NameFault::kLeadingSpace" split_split_test
mutant partset/name_encoding.cpp 'if (bytes && (*bytes == utf8 || !IsValidUtf8(*bytes)))' 'if (bytes)' partset_info_file_test
mutant partset/leading_number.cpp '"\u00a0", ' '' split_split_test
mutant partset/utf8.cpp '(surrogate && surrogates == Surrogates::Refused)' 'false' partset_utf8_test
# The split and the join, the whole set at a time. (The join's own check
# that a listed part is a regular file is not among them: the file layer
# refuses the same entries with the same errors when the part is opened.)
mutant split/split.cpp '    target.Remove(std::string(kInfoFileName));' '' split_split_test
mutant split/split.cpp '(*owner != sourceName ||' '(false ||' split_split_test
mutant split/split.cpp '(shared && info->owner != source.owner && !IsRunners(*info))' 'false' join_join_test
mutant split/split.cpp ' && !IsRunners(*info)' '' join_join_test
mutant split/split.cpp 'return Refusal(messages::kSplitErrorTitle, messages::kForeignParts);' 'continue;' split_split_test
mutant split/split.cpp 'std::vector<std::string> outputs = parts;' 'std::vector<std::string> outputs(parts.begin(), parts.end() - 1);' split_split_test
mutant split/split.cpp 'const std::uint32_t mode = sourceStatus_.mode & 0666;' 'const std::uint32_t mode = 0666;' split_split_test
mutant split/split.cpp 'for (const std::string& name : oldParts_) target.Remove(name);' '' split_split_test
mutant split/split.cpp 'if (!beside.empty()) return Refusal' 'if (false) return Refusal' split_split_test
mutant split/split.cpp '!(shared && entry.status.owner != info->owner)' 'true' join_join_test
mutant join/join.cpp 'return part.status.modified <= status->modified;' 'return part.status.modified < status->modified;' join_join_test
mutant join/join.cpp 'RemoveStaleTemporaries(set.folder);' '' join_join_test
mutant join/part_set.cpp 'if (!set.folder.IsSharedSticky()) return;' 'return;' join_join_test
mutant join/part_set.cpp '|| IsTemporaryName(name)) return false;' ') return false;' join_join_test
mutant join/part_set.cpp '|| (counts[size] == counts[piece] && size > piece)' '|| false' join_join_test
mutant io/replacement_file.cpp '(!origin_ || old->owner == origin_->owner)' '(true)' io_replacement_file_test
mutant io/replacement_file.cpp 'giveTo = origin_;' '' io_replacement_file_test
mutant join/join.cpp 'if (part.status.owner != origin.owner) origin = {};' '' io_replacement_file_test
mutant split/split.cpp 'if (createdChild_) parent_.RemoveChildIfEmpty(childName_);
}' '}' split_split_test
mutant join/part_set.cpp 'if (!status.IsSameFileAs(part.status) || status.size != part.status.size) {' 'if (false) {' join_join_test
mutant join/part_set.cpp 'if (partHash && partHash->HexDigest() != set.partDigests[i]) {' 'if (false) {' join_join_test
mutant join/part_set.cpp 'if (IsPartNumber(number) && NumberBefore(expected, number)) {' 'if (false) {' join_join_test
mutant join/part_set.cpp 'if (size == 0 || (last ? size > piece : size != piece)) {' 'if (size == 0) {' join_join_test
mutant join/join.cpp 'return !SameContent(existing, joined' 'return false && !SameContent(existing, joined' join_join_test
mutant join/join.cpp 'if (std::optional<Report> refusal = CheckJoinRoom(set.folder, set.parts)) return *refusal;' '' operation_room_check_test
# The command line.
mutant cli/main.cpp 'return std::fflush(stdout) == 0 && !std::ferror(stdout);' 'return true;' cli_parcelo_cli_test
mutant cli/piece_size.cpp '(length + parts - 1) / parts;' 'length / parts;' cli_parcelo_cli_test
mutant cli/piece_size.cpp '{"kb", 1e3},' '{"kb", 1024.0},' cli_piece_size_test
mutant cli/terminal_progress.cpp 'if (now - start_ < kShowAfterMs) return;' '' cli_terminal_progress_test
# The window.
mutant ui/frm_main.cpp 'return AbsoluteFolderOf(PathInBox(txtPut->text()));' 'return {};' frm_main_test
mutant ui/frm_main.cpp 'txtPut->setText(lastPicked_);' 'txtPut->setText(picked);' frm_main_test
mutant ui/frm_main.cpp '      click();' '' frm_main_test
mutant ui/frm_main.cpp 'Frame2->setVisible(shown);' 'Frame2->setVisible(shown || true);' frm_main_test
mutant ui/frm_main.cpp 'box->selectAll();' '' frm_main_test
mutant ui/path_box.cpp 'if (url.isLocalFile())' 'if (false)' frm_main_test
mutant ui/whole_path.cpp 'return kept.replace(path, whole);' 'return kept;' qt_dialogs_test
mutant ui/qt_dialogs.cpp 'if (!start.isEmpty()) dialog.setDirectory(start);' '' qt_dialogs_test
mutant ui/frm_main.cpp 'return KindOfPath(CorePath(path)) == PathKind::File ? QDir::toNativeSeparators(path) : QString();' 'return QDir::toNativeSeparators(path);' frm_main_test
mutant ui/frm_main.cpp '  if (work_.IsRunning()) return;' '' frm_main_test
mutant ui/frm_main.cpp '    work_.Cancel();' '' frm_main_test
mutant ui/frm_main.cpp 'question->close();' '(void)question;' frm_main_test
mutant ui/work_thread.cpp 'if (cancelled_) throw OperationCancelled{};
  std::lock_guard' 'std::lock_guard' frm_main_test
mutant ui/progress_display.cpp 'showTimer_.start(kShowAfterMs);' '' progress_display_test
mutant ui/progress_display.cpp 'disconnect(this, &QProgressDialog::canceled, nullptr, nullptr);' '' progress_display_test

cmake --build "$build" >/dev/null 2>&1
echo "$((total - survived)) of $total faults caught"
[ "$survived" -eq 0 ]
