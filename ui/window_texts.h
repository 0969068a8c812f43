#pragma once

// The window's own words: its captions, the progress display's lines, the
// buttons of its boxes and what Qt's dialogs lack in Russian. The boxes the
// split and the join report are in operation/messages.h. Formats mark with
// %1, %2 the values the code puts in.

namespace parcelo::ui::text {

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

}  // namespace parcelo::ui::text
