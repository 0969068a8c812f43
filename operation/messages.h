#pragma once

// Every sentence, title and word Parcelo shows the user, here and in
// messages.cpp: first the boxes of the split and the join, then the
// window's texts (namespace window) and the command line's (namespace
// command_line). Formats mark with %1, %2 the values the code puts in.

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

// The window.
namespace window {

// The window's caption, with the maker's contact address.
inline constexpr const char* kWindowCaption =
    "Parcelo - файловое дробление от Velmarin (velmarin@parcelo.example)";

// The upper panel and its controls.
inline constexpr const char* kSourcePanelCaption = "Выбор файла для дробления";
inline constexpr const char* kChooseFileCaption = "...";
inline constexpr const char* kSplitCaption = "Дробить файл";
inline constexpr const char* kJoinCaption = "Слить файл";
inline constexpr const char* kSettingsCaption = "Настройки";

// The lower panel, the split's settings, and its controls.
inline constexpr const char* kSettingsPanelCaption = "Настройка системы файлового дробления";
inline constexpr const char* kPlacementCaption = "Части файла будут находится";
inline constexpr const char* kSameFolderCaption = "в той же директории";
inline constexpr const char* kNewFolderCaption = "в новой директории";
inline constexpr const char* kPieceSizeCaption = "Размер частей файла";
inline constexpr const char* kPieceSizeUnitCaption = "байт";
inline constexpr const char* kApplyCaption = "Применить...";

// The folder chooser: the join's prompt, and the title it shows without one.
inline constexpr const char* kJoinFolderPrompt = "Выберите директорию";
inline constexpr const char* kDefaultFolderPrompt = "Please, Select a folder.";

// The progress display: its titles, its button, and its lines.
inline constexpr const char* kSplitProgressTitle = "Дробление файла";
inline constexpr const char* kJoinProgressTitle = "Слияние файла";
inline constexpr const char* kCancelButton = "Отмена";
inline constexpr const char* kPartOfParts = "Часть %1 из %2";
inline constexpr const char* kMegabytesOfTotal = "%1 из %2 МБ";
inline constexpr const char* kMegabytesPerSecond = "%1 МБ/с";
inline constexpr const char* kSecondsLeft = "осталось 0:%1";
inline constexpr const char* kMinutesLeft = "осталось около %1 мин";
inline constexpr const char* kHoursLeft = "осталось около %1 ч";
inline constexpr const char* kHoursAndMinutesLeft = "осталось около %1 ч %2 мин";

// The buttons of a question box.
inline constexpr const char* kYesButton = "Да";
inline constexpr const char* kNoButton = "Нет";

// Sizes: "байт" in its forms after 1 (21, 101…), after 2–4 (22–24…) and
// after 0 or 5–20 (25–30…), then the units of 1024 bytes each.
inline constexpr const char* kBytesOne = "байт";
inline constexpr const char* kBytesFew = "байта";
inline constexpr const char* kBytesMany = "байт";
inline constexpr const char* kSizeUnits[] = {"КБ", "МБ", "ГБ", "ТБ"};

// Qt's file dialogs. The longest texts its Russian catalogue shows in the
// type column and in the side list; the dialog is sized for them.
inline constexpr const char* kLongestFileType = "Текстовый документ";
inline constexpr const char* kLongestPlace = "Компьютер";
// The kinds of entry the dialogs name, which its Russian catalogue lacks.
inline constexpr const char* kDriveKind = "Диск";
inline constexpr const char* kFileKind = "Файл";
inline constexpr const char* kFolderKind = "Папка";
inline constexpr const char* kShortcutKind = "Ярлык";
inline constexpr const char* kUnknownKind = "Неизвестно";

}  // namespace window

// The command line.
namespace command_line {

// The short usage, on --help and after arguments that don't fit it.
inline constexpr const char* kUsage =
    "Использование:\n"
    "  parcelo-cli split ФАЙЛ [--size РАЗМЕР | --parts N] [--subdir ИМЯ] [--checksums]\n"
    "  parcelo-cli join ДИРЕКТОРИЯ [--replace]\n"
    "  parcelo-cli check ДИРЕКТОРИЯ\n"
    "  parcelo-cli --help | --version\n"
    "\n"
    "split  дробит ФАЙЛ на части 001.drb, 002.drb, ... и пишет Infa.inf;\n"
    "       --size      размер части в байтах (по умолчанию 1000000), можно\n"
    "                   с единицей: K, M, G, KiB, MiB, GiB (по 1024), KB, MB, GB\n"
    "                   (по 1000), например 700M,\n"
    "       --parts     не больше N частей (от 2 до 1000): размер части равен\n"
    "                   размеру файла, делённому на N и округлённому вверх до\n"
    "                   целого байта, так что частей может выйти и меньше N,\n"
    "       --subdir    части кладутся в новую директорию ИМЯ рядом с файлом,\n"
    "       --checksums последним пишется Infa.sha256 с контрольными суммами\n"
    "                   SHA-256 частей и всего файла (формат sha256sum).\n"
    "join   собирает файл из частей в ДИРЕКТОРИИ под исходным именем,\n"
    "       сверяя части с Infa.sha256, если он есть;\n"
    "       вместо ДИРЕКТОРИИ можно указать её Infa.inf или любую часть *.drb;\n"
    "       файл, изменённый после дробления, заменяется только с --replace.\n"
    "check  сверяет части в ДИРЕКТОРИИ с Infa.sha256, ничего не записывая.\n"
    "На терминале ход работы показывается в строке стандартного потока ошибок;\n"
    "--quiet её отключает.\n";

// What is wrong with arguments that don't fit the usage, after "parcelo-cli: ".
inline constexpr const char* kNotSizeUnit =
    "после числа в --size стоит не единица размера (K, M, G, KiB, MiB, GiB, KB, MB, GB)";
inline constexpr const char* kPartsNotWhole = "--parts ждёт целое число частей";
inline constexpr const char* kSizeWithParts = "--size и --parts не указываются вместе";

// The refusals of "--parts".
inline constexpr const char* kPartsRange = "Число частей должно быть от 2 до 1000!";
inline constexpr const char* kTooShortForParts = "Файл короче 2 байт нельзя разделить на части!";
inline constexpr const char* kTooLongForParts =
    "Части такого файла были бы больше 2147483647 байт. Укажите больше частей!";

// The progress line on a terminal: the part, the per cent done, the speed
// and the time left ("0:12", "1:02:03").
inline constexpr const char* kProgressPart = "Часть %1 из %2";
inline constexpr const char* kProgressSpeed = "%1 МБ/с";
inline constexpr const char* kProgressTimeLeft = "осталось %1";

// When what was said on standard output could not be written.
inline constexpr const char* kStandardOutputFailed =
    "parcelo-cli: ошибка записи в стандартный вывод";

}  // namespace command_line

}  // namespace parcelo::messages
