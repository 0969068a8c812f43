#pragma once

// Every sentence and title the split, the join and the check show the user,
// here and in messages.cpp: their boxes, and the reasons of errors. The
// window's own words are in ui/window_texts.h, the command line's in
// cli/cli_texts.h.

#include <cstdint>
#include <string>

#include "io/file_error.h"
#include "operation/report.h"

namespace parcelo::messages {

// The split's and the join's boxes.
inline constexpr const char* kReadErrorTitle = "Ошибка чтения файла";
inline constexpr const char* kNoSource = "Не указан файл для дробления!";
inline constexpr const char* kSizeErrorTitle = "Ошибка размера файла";
inline constexpr const char* kPieceSizeRange =
    "Размер части должен быть целым числом от 1 до 2147483647 байт. "
    "Измените размер части в настройках!";
inline constexpr const char* kPieceNotSmaller =
    "Часть должна быть меньше чем файл. Измените размер части в настройках!";
inline constexpr const char* kCountErrorTitle = "Ошибка пробления файла";
inline constexpr const char* kTooManyParts =
    "Файл не может быть разделен более чем на 1000 файлов!";
inline constexpr const char* kFolderNameErrorTitle = "Ошибка имени директории";
inline constexpr const char* kBadFolderName =
    "Недопустимое имя новой директории. Измените его в настройках!";
inline constexpr const char* kFileNameErrorTitle = "Ошибка имени файла";
inline constexpr const char* kUnstorableName =
    "Имя файла нельзя сохранить в Infa.inf без изменений. Переименуйте файл!";
inline constexpr const char* kSplitErrorTitle = "Ошибка дробления файла";
inline constexpr const char* kForeignParts =
    "В выбранной директории есть другие файлы *.drb, которые попадут в собранный файл. "
    "Удалите их или выберите новую директорию в настройках!";
inline constexpr const char* kOwnSource =
    "Файл нельзя дробить в ту же директорию: его имя совпадает с именем части или Infa.inf. "
    "Выберите новую директорию в настройках!";
inline constexpr const char* kSplitDoneTitle = "Дробление завершено";

// "В выбранной директории лежит набор частей другого файла (NAME). Удалите его или ..."
std::string ForeignSet(const std::string& name);

// Too little room for the output, told before anything is written.
inline constexpr const char* kNoRoomTitle = "Недостаточно места на диске";
// "Нужно 1 024,0 МБ, свободно 800,0 МБ."
std::string NoRoom(std::uint64_t needed, std::uint64_t available);
// "Файловая система не может хранить файлы больше SIZE, а нужен файл размером SIZE."
std::string TooLargeForFileSystem(std::uint64_t size, std::uint64_t largest);

// The join's question before it replaces a file edited after the split.
inline constexpr const char* kReplaceEditedTitle = "Слияние файла";
// "Файл NAME изменён после дробления. Заменить его собранным файлом?"
std::string ReplaceEdited(const std::string& name);

inline constexpr const char* kFolderErrorTitle = "Ошибка инициализации директории";
inline constexpr const char* kNoParts = "В данной папке нет частей файла!";
inline constexpr const char* kTooFewFiles =
    "В выбранной папке частей файла нет. Выбирайте ту папку где есть части с расширением *.drb";
inline constexpr const char* kBadOutputName =
    "Файл Infa.inf не содержит допустимого имени исходного файла!";
inline constexpr const char* kJoinDoneTitle = "Слияние завершено";

inline constexpr const char* kSplitCancelledTitle = "Дробление отменено";
inline constexpr const char* kJoinCancelledTitle = "Слияние отменено";
inline constexpr const char* kCancelled = "Операция отменена пользователем.";

inline constexpr const char* kCheckDoneTitle = "Проверка завершена";
inline constexpr const char* kCheckErrorTitle = "Ошибка проверки";
inline constexpr const char* kNoChecksums =
    "В данной папке нет файла Infa.sha256 с контрольными суммами частей!";
inline constexpr const char* kCheckCancelledTitle = "Проверка отменена";

inline constexpr const char* kErrorReportTitle = "Ошибка выполнения";

// "Поздравляем! Выбранный файл PATH был разбит на COUNT части(ей)!"
std::string SplitDone(const std::string& sourcePath, const std::string& count);

// "Поздравляем! Файл собран и сохранен под исходным именем PATH."
std::string JoinDone(const std::string& outputPath);

// "Все COUNT части(ей) в директории FOLDER совпадают с контрольными суммами."
std::string CheckDone(const std::string& folder, std::size_t count);

// Returns the Russian reason for an error number.
std::string ErrorReason(int code);

// Returns a Russian sentence that says what failed, on which file and why.
std::string DescribeFileError(const FileError& error);

// The error report of a failure no check caught: the error number and what
// failed on which file.
Report ErrorReport(const FileError& error);

// The error report of a failure that names no file.
Report InternalErrorReport(const std::string& what);

}  // namespace parcelo::messages
