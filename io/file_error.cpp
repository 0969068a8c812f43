#include "io/file_error.h"

#include <cerrno>
#include <cstring>

namespace parcelo {
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
  }
  return "Ошибка при работе с файлом";
}

}  // namespace

FileError::FileError(int code, FileOperation operation, std::string path)
    : std::runtime_error(std::string(OperationText(operation)) + " " + path),
      code_(code),
      operation_(operation),
      path_(std::move(path)) {}

std::string DescribeErrorCode(int code) {
  switch (code) {
    case kUnexpectedEnd: return "файл закончился раньше, чем ожидалось";
    case kNotRegularFile: return "это не обычный файл";
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
    default: return std::string("системная ошибка (") + std::strerror(code) + ")";
  }
}

std::string DescribeFileError(const FileError& error) {
  return std::string(OperationText(error.operation())) + " \"" + error.path() +
         "\": " + DescribeErrorCode(error.code()) + ".";
}

}  // namespace parcelo
