#include "tools/common/FileErrorText.h"

namespace tools {

const char* FileErrorText(unsigned code) {
    switch (code) {
        case ERR_CANNOT_OPEN_FILE: return "Cannot open file!";
        case ERR_CANNOT_CREATE_FILE: return "Cannot create file!";
        case ERR_CANNOT_DELETE_FILE: return "Cannot delete file!";
        case ERR_FILE_EXISTS: return "File already exists!";
        case ERR_FILE_READ: return "File read error!";
        case ERR_FILE_WRITE: return "File write error!";
        case ERR_FILE_TYPE: return "Incorrect file type!";
        case ERR_NULL_POINTER: return "null-pointer access!";
        case ERR_NO_MEMORY: return "Insufficient memory!";
        default: return nullptr;
    }
}

}  // namespace tools
