#include "jpegdecode.h"

// jpeglib.h uses FILE and size_t without including their headers.
#include <jpeglib.h>
#include <csetjmp>
#include <cstdio>

namespace tessarin::forms {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;  // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's default error_exit calls exit(); return to decodeInto() instead.
[[noreturn]] void errorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->base.format_message(info, errors->message);
    std::longjmp(errors->escape, 1);
}

// Keeps the text of the first warning; libjpeg warns, rather than fails, when the data
// ends early or is corrupt, and fills the rest of the picture with grey.
void emitMessage(j_common_ptr info, int level) {
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    if (level >= 0) return;
    if (errors->base.num_warnings++ == 0) errors->base.format_message(info, errors->message);
}

// Everything between setjmp and a possible longjmp lives in this frame and owns nothing
// with a destructor, so the jump skips no clean-up. The image belongs to the caller.
bool decodeInto(jpeg_decompress_struct* info, ErrorManager* errors, const QByteArray& data,
                QImage* image) {
    if (setjmp(errors->escape)) return false;
    jpeg_create_decompress(info);
    jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(info, TRUE);
    info->out_color_space = JCS_EXT_RGBX;
    jpeg_start_decompress(info);
    *image = QImage(static_cast<int>(info->output_width), static_cast<int>(info->output_height),
                    QImage::Format_RGBX8888);
    if (image->isNull()) {
        qstrncpy(errors->message, "Not enough memory for the picture", JMSG_LENGTH_MAX);
        return false;
    }
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return errors->base.num_warnings == 0;
}

}  // namespace

DecodedJpeg decodejpeg(const QByteArray& data) {
    // Zeroed, so that destroying it is safe however far decodeInto() got.
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.emit_message = emitMessage;

    DecodedJpeg result;
    if (!decodeInto(&info, &errors, data, &result.image)) {
        result.image = QImage();
        result.error = QString::fromLatin1(errors.message);
    }
    jpeg_destroy_decompress(&info);
    return result;
}

}  // namespace tessarin::forms
