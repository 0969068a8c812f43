#include "operation/messages.h"

#include <cerrno>
#include <cstring>

#include "partset/name_fault.h"

namespace parcelo::messages {
namespace {

const char* OperationText(FileOperation operation) {
  switch (operation) {
    case FileOperation::Open: return "Не удалось открыть файл";
    case FileOperation::Create: return "Не удалось создать файл";
    case FileOperation::Read: return "Не удалось прочитать файл";
    case FileOperation::Write: return "Не удалось записать файл";
    case FileOperation::Close: return "Не удалось закрыть файл";
    case FileOperation::Stat: return "Не удалось получить сведения о файле";
    case FileOperation::CreateFolder: return "Не удалось создать директорию";
    case FileOperation::ListFolder: return "Не удалось прочитать директорию";
    case FileOperation::Replace: return "Не удалось сохранить файл";
    case FileOperation::Remove: return "Не удалось удалить файл";
    case FileOperation::Lock: return "Не удалось занять директорию";
    case FileOperation::Verify: return "Не пройдена проверка файла";
  }
  return "Ошибка при работе с файлом";
}

// "1 024,0 МБ": mebibytes to a tenth, with a decimal comma and the
// thousands set apart.
std::string Megabytes(std::uint64_t bytes) {
  constexpr std::uint64_t kMebibyte = 1 << 20;
  const std::uint64_t tenths =
      bytes / kMebibyte * 10 + (bytes % kMebibyte * 10 + kMebibyte / 2) / kMebibyte;
  const std::string digits = std::to_string(tenths / 10);
  std::string whole;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) whole.push_back(' ');
    whole.push_back(digits[i]);
  }
  return whole + "," + std::to_string(tenths % 10) + " МБ";
}

// What is wrong with a name, as the boxes that refuse it say in parentheses.
const char* NameFaultText(NameFault fault) {
  switch (fault) {
    case NameFault::kNone: break;
    case NameFault::kEmpty: return "пустое имя";
    case NameFault::kDotName: return "имена «.» и «..» заняты";
    case NameFault::kTooLong: return "слишком длинное имя";
    case NameFault::kSeparator: return "косая черта в имени";
    case NameFault::kControlCharacter: return "управляющий символ в имени";
    case NameFault::kReservedCharacter: return "один из знаков < > : \" | ? * в имени";
    case NameFault::kTrailingDot: return "точка в конце имени";
    case NameFault::kLeadingSpace: return "пробел в начале имени";
    case NameFault::kTrailingSpace: return "пробел в конце имени";
    case NameFault::kDeviceName: return "имя устройства Windows";
    case NameFault::kSetFileName: return "так называются части и файлы набора";
    case NameFault::kForeignEncoding: return "имя не в кодировке UTF-8";
  }
  return "имя не подходит";
}

std::string Numbered(int code, const std::string& description) {
  return "Ошибка " + std::to_string(code) + ". " + description;
}

}  // namespace

std::string SplitDone(const std::string& sourcePath, const std::string& count) {
  return "Поздравляем! Выбранный файл " + sourcePath + " был разбит на " + count + " части(ей)!";
}

std::string BadFolderName(NameFault fault) {
  return std::string("Недопустимое имя новой директории (") + NameFaultText(fault) +
         "). Измените его в настройках!";
}

std::string UnstorableName(NameFault fault) {
  return std::string("Имя файла нельзя сохранить в Infa.inf без изменений (") +
         NameFaultText(fault) + "). Переименуйте файл!";
}

std::string ForeignSet(const std::string& name) {
  return "В выбранной директории лежит набор частей другого файла (" + name +
         "). Удалите его или выберите новую директорию в настройках!";
}

std::string NoRoom(std::uint64_t needed, std::uint64_t available) {
  return "Нужно " + Megabytes(needed) + ", свободно " + Megabytes(available) + ".";
}

std::string TooLargeForFileSystem(std::uint64_t size, std::uint64_t largest) {
  return "Файловая система не может хранить файлы больше " + Megabytes(largest) +
         ", а нужен файл размером " + Megabytes(size) + ".";
}

std::string ReplaceEdited(const std::string& name) {
  return "Файл " + name + " изменён после дробления. Заменить его собранным файлом?";
}

std::string JoinDone(const std::string& outputPath) {
  return "Поздравляем! Файл собран и сохранен под исходным именем " + outputPath + ".";
}

std::string CheckDone(const std::string& folder, std::size_t count) {
  return "Все " + std::to_string(count) + " части(ей) в директории " + folder +
         " совпадают с контрольными суммами.";
}

std::string ErrorReason(int code) {
  switch (code) {
    case kUnexpectedEnd: return "файл закончился раньше, чем ожидалось";
    case kNotRegularFile: return "это не обычный файл";
    case kSymbolicLink: return "это символическая ссылка";
    case kFileReplaced: return "файл был подменен во время работы";
    case kFolderBusy: return "директория занята другой операцией Parcelo";
    case kOutOfMemory: return "недостаточно памяти";
    case kChecksumMismatch: return "контрольная сумма не совпадает";
    case kBadChecksumFile: return "файл контрольных сумм поврежден";
    case kFileInUse: return "файл занят другой программой";
    case kInvalidName: return "недопустимое имя файла";
    case kMissingPart: return "нет части";  // DescribeFileError adds the part's name
    case kWrongPartSize: return "размер части не подходит к набору";
    case kUnlistedPart: return "часть не указана в Infa.sha256";
    case kNoInfoFile: return "в папке нет Infa.inf: набор неполон";
    case kFolderBusyOther: return "директория занята другой программой";
    case kProtectedFile:
      return "файл принадлежит другому пользователю в общей директории и не будет заменен";
    case kOtherOwner:
      return "файл в общей директории принадлежит другому пользователю, а не владельцу Infa.inf";
    case ENOENT: return "файл или директория не найдены";
    case ENOTDIR: return "часть пути не является директорией";
    case EISDIR: return "это директория, а не файл";
    case EACCES: return "доступ запрещен";
    case EPERM: return "операция не разрешена";
    case EROFS: return "файловая система доступна только для чтения";
    case ENOSPC: return "на диске нет места";
#ifdef EDQUOT
    case EDQUOT: return "превышена дисковая квота";
#endif
    case EFBIG: return "файл слишком велик";
    case EIO: return "ошибка ввода-вывода";
    case ENAMETOOLONG: return "слишком длинное имя";
    case EEXIST: return "файл уже существует";
    case EMFILE:
    case ENFILE: return "открыто слишком много файлов";
    case ENOMEM: return "недостаточно памяти";
    case ELOOP: return "слишком много символических ссылок";
    case EBUSY: return "файл занят";
    case EINVAL: return "недопустимый аргумент";
    default:
      if (code >= kWindowsError) return "ошибка Windows " + std::to_string(code - kWindowsError);
      return std::string("системная ошибка (") + std::strerror(code) + ")";
  }
}

std::string DescribeFileError(const FileError& error) {
  const std::string named = error.path().empty() ? "" : " \"" + error.path() + "\"";
  std::string reason = ErrorReason(error.code());
  // "нет части 003.drb": the missing part's own name, as the user looks for it.
  if (error.code() == kMissingPart) {
    const std::size_t slash = error.path().find_last_of("/\\");
    reason.push_back(' ');
    reason.append(error.path(), slash == std::string::npos ? 0 : slash + 1);
  }
  return OperationText(error.operation()) + named + ": " + reason + ".";
}

Report ErrorReport(const FileError& error) {
  return {
      Outcome::Failed,
      {MessageKind::Critical, kErrorReportTitle, Numbered(error.code(), DescribeFileError(error))},
      error.code(),
      error.path()};
}

Report InternalErrorReport(const std::string& what) {
  return {Outcome::Failed,
          {MessageKind::Critical, kErrorReportTitle,
           Numbered(kInternalError, "Внутренняя ошибка: " + what + ".")},
          kInternalError,
          {}};
}

}  // namespace parcelo::messages
