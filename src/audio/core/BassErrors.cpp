#include "audio/core/BassErrors.h"

#include <mpv/client.h>

#include "audio/core/AudioEngine.h"

static const char* ErrorName(int code) {
    switch (code) {
    case BASS_OK:
        return "BASS_OK";
    case BASS_ERROR_MEM:
        return "BASS_ERROR_MEM";
    case BASS_ERROR_FILEOPEN:
        return "BASS_ERROR_FILEOPEN";
    case BASS_ERROR_DRIVER:
        return "BASS_ERROR_DRIVER";
    case BASS_ERROR_BUFLOST:
        return "BASS_ERROR_BUFLOST";
    case BASS_ERROR_HANDLE:
        return "BASS_ERROR_HANDLE";
    case BASS_ERROR_FORMAT:
        return "BASS_ERROR_FORMAT";
    case BASS_ERROR_POSITION:
        return "BASS_ERROR_POSITION";
    case BASS_ERROR_INIT:
        return "BASS_ERROR_INIT";
    case BASS_ERROR_START:
        return "BASS_ERROR_START";
    case BASS_ERROR_ALREADY:
        return "BASS_ERROR_ALREADY";
    case BASS_ERROR_NOCHAN:
        return "BASS_ERROR_NOCHAN";
    case BASS_ERROR_ILLTYPE:
        return "BASS_ERROR_ILLTYPE";
    case BASS_ERROR_ILLPARAM:
        return "BASS_ERROR_ILLPARAM";
    case BASS_ERROR_NO3D:
        return "BASS_ERROR_NO3D";
    case BASS_ERROR_NOEAX:
        return "BASS_ERROR_NOEAX";
    case BASS_ERROR_DEVICE:
        return "BASS_ERROR_DEVICE";
    case BASS_ERROR_NOPLAY:
        return "BASS_ERROR_NOPLAY";
    case BASS_ERROR_FREQ:
        return "BASS_ERROR_FREQ";
    case BASS_ERROR_NOTFILE:
        return "BASS_ERROR_NOTFILE";
    case BASS_ERROR_NOHW:
        return "BASS_ERROR_NOHW";
    case BASS_ERROR_EMPTY:
        return "BASS_ERROR_EMPTY";
    case BASS_ERROR_NONET:
        return "BASS_ERROR_NONET";
    case BASS_ERROR_CREATE:
        return "BASS_ERROR_CREATE";
    case BASS_ERROR_NOFX:
        return "BASS_ERROR_NOFX";
    case BASS_ERROR_NOTAVAIL:
        return "BASS_ERROR_NOTAVAIL";
    case BASS_ERROR_DECODE:
        return "BASS_ERROR_DECODE";
    case BASS_ERROR_DX:
        return "BASS_ERROR_DX";
    case BASS_ERROR_TIMEOUT:
        return "BASS_ERROR_TIMEOUT";
    case BASS_ERROR_FILEFORM:
        return "BASS_ERROR_FILEFORM";
    case BASS_ERROR_SPEAKER:
        return "BASS_ERROR_SPEAKER";
    case BASS_ERROR_VERSION:
        return "BASS_ERROR_VERSION";
    case BASS_ERROR_CODEC:
        return "BASS_ERROR_CODEC";
    case BASS_ERROR_ENDED:
        return "BASS_ERROR_ENDED";
    case BASS_ERROR_UNKNOWN:
        return "BASS_ERROR_UNKNOWN";
    case 1000:
        return "The file is Protected";
    case 1001:
        return "Windows Media (9 Or above) is Not installed";
    case 1002:
        return "Wccess denied (user/pass is invalid)";
    case 1004:
        return " Iindividualization is needed";
    default:
        return "";
    }
}

std::string Bass_ErrorText(int code, bool withNumber, bool lineBreak) {
    if (code == BASS_ERROR_ASK) code = Engine_ErrorGetCode();
    std::string text = ErrorName(code);
    if (withNumber) text += " (" + std::to_string(code) + ")";
    if (lineBreak && !text.empty()) text += "\n";
    return text;
}

int Bass_ErrorFromMpv(int mpvError, bool isFile) {
    switch (mpvError) {
    case MPV_ERROR_SUCCESS:
        return BASS_OK;
    case MPV_ERROR_NOMEM:
        return BASS_ERROR_MEM;
    case MPV_ERROR_UNINITIALIZED:
        return BASS_ERROR_INIT;
    case MPV_ERROR_INVALID_PARAMETER:
    case MPV_ERROR_OPTION_FORMAT:
    case MPV_ERROR_PROPERTY_FORMAT:
        return BASS_ERROR_ILLPARAM;
    case MPV_ERROR_OPTION_NOT_FOUND:
    case MPV_ERROR_PROPERTY_NOT_FOUND:
    case MPV_ERROR_PROPERTY_UNAVAILABLE:
        return BASS_ERROR_NOTAVAIL;
    case MPV_ERROR_LOADING_FAILED:
        return isFile ? BASS_ERROR_FILEOPEN : BASS_ERROR_NONET;
    case MPV_ERROR_AO_INIT_FAILED:
        return BASS_ERROR_DRIVER;
    case MPV_ERROR_NOTHING_TO_PLAY:
    case MPV_ERROR_UNKNOWN_FORMAT:
        return BASS_ERROR_FILEFORM;
    case MPV_ERROR_UNSUPPORTED:
        return BASS_ERROR_CODEC;
    case MPV_ERROR_NOT_IMPLEMENTED:
        return BASS_ERROR_NOTAVAIL;
    default:
        return BASS_ERROR_UNKNOWN;
    }
}
