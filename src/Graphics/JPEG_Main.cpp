#include "Graphics/JPEG_Main.h"

#include <cstddef>
#include <csetjmp>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "Base/MemoryManager.h"
#include "Graphics/ImageLimits.h"

namespace {
// Progressive files with endless scans would keep the decoder busy for ever.
constexpr int kMaxScans = 500;
// Where a scan's data runs out the decoder fills in zeros, so a file of a few
// hundred bytes could declare a huge image, or a large progressive one with
// dozens of empty scans, and keep the decoder busy for minutes. Real files
// carry data in proportion to their size: even a flat colour takes a bit per
// block and scan (at most 512 pixels a byte, and some 25 block visits a byte
// with the usual progressions). A decode may take a fixed allowance plus an
// amount for each byte of the file, well above both.
constexpr int64_t kPixelsAllowed = int64_t(1) << 16;
constexpr int64_t kPixelsPerByte = 1024;
constexpr int64_t kBlockVisitsAllowed = int64_t(1) << 20;
constexpr int64_t kBlockVisitsPerByte = 64;

// libjpeg's own error exit ends the process; this one jumps back instead.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}

void JpegEmitMessage(j_common_ptr, int) {}

struct JpegProgressLimit {
    jpeg_progress_mgr pub;
    int64_t blocksPerScan;  // every block of every component
    int64_t blockVisitsAllowed;
};

bool WorkAllowed(int64_t scans, const JpegProgressLimit& limit)
{
    return scans <= kMaxScans && scans * limit.blocksPerScan <= limit.blockVisitsAllowed;
}

void JpegProgress(j_common_ptr cinfo)
{
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (!WorkAllowed(d->input_scan_number, *reinterpret_cast<JpegProgressLimit*>(cinfo->progress))) JpegErrorExit(cinfo);
}

int64_t BlocksPerScan(const jpeg_decompress_struct& cinfo)
{
    int64_t blocks = 0;
    for (int c = 0; c < cinfo.num_components; ++c)
        blocks += int64_t(cinfo.comp_info[c].width_in_blocks) * int64_t(cinfo.comp_info[c].height_in_blocks);
    return blocks;
}

// The whole input is in memory: asking for more means the data ended early,
// which suspends the decoder and fails the decode.
void SourceInit(j_decompress_ptr) {}
boolean SourceFill(j_decompress_ptr) { return FALSE; }
void SourceTerm(j_decompress_ptr) {}

void SourceSkip(j_decompress_ptr cinfo, long count)
{
    jpeg_source_mgr* src = cinfo->src;
    if (count <= 0) return;
    const size_t n = size_t(count) < src->bytes_in_buffer ? size_t(count) : src->bytes_in_buffer;
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
}

// One output row into RGBA bytes. Adobe CMYK files store inverted inks.
void ConvertRow(const uint8_t* in, uint8_t* out, int width, int components, bool invertedInks)
{
    for (int x = 0; x < width; ++x, out += 4) {
        if (components == 1) {
            out[0] = out[1] = out[2] = in[x];
        } else if (components == 3) {
            out[0] = in[x * 3];
            out[1] = in[x * 3 + 1];
            out[2] = in[x * 3 + 2];
        } else {
            const uint8_t* p = in + x * 4;
            const int k = invertedInks ? p[3] : 255 - p[3];
            for (int c = 0; c < 3; ++c) out[c] = uint8_t((invertedInks ? p[c] : 255 - p[c]) * k / 255);
        }
        out[3] = 0xFF;
    }
}
}  // namespace

uint8_t* ReadJPEG(const uint8_t* bytes, int byteCount, int* width, int* height)
{
    if (width) *width = 0;
    if (height) *height = 0;
    if (!bytes || byteCount <= 0) return nullptr;

    jpeg_decompress_struct cinfo;
    JpegErrorManager error;
    JpegProgressLimit progress;
    jpeg_source_mgr source;
    uint8_t* volatile pixels = nullptr;
    uint8_t* volatile row = nullptr;

    cinfo.err = jpeg_std_error(&error.pub);
    error.pub.error_exit = JpegErrorExit;
    error.pub.emit_message = JpegEmitMessage;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&cinfo);
        QS_FREE(pixels);
        QS_FREE(row);
        return nullptr;
    }
    jpeg_create_decompress(&cinfo);
    source.next_input_byte = bytes;
    source.bytes_in_buffer = size_t(byteCount);
    source.init_source = SourceInit;
    source.fill_input_buffer = SourceFill;
    source.skip_input_data = SourceSkip;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = SourceTerm;
    cinfo.src = &source;
    progress.pub.progress_monitor = JpegProgress;
    progress.blocksPerScan = 0;
    progress.blockVisitsAllowed = kBlockVisitsAllowed + kBlockVisitsPerByte * int64_t(byteCount);
    cinfo.progress = &progress.pub;

    // Tables followed by an image decode as one.
    int header;
    while ((header = jpeg_read_header(&cinfo, FALSE)) == JPEG_HEADER_TABLES_ONLY) {}
    if (header != JPEG_HEADER_OK || !Image_SizeAllowed(cinfo.image_width, cinfo.image_height) ||
        int64_t(cinfo.image_width) * cinfo.image_height > kPixelsAllowed + kPixelsPerByte * int64_t(byteCount))
        JpegErrorExit(reinterpret_cast<j_common_ptr>(&cinfo));
    progress.blocksPerScan = BlocksPerScan(cinfo);
    if (!WorkAllowed(1, progress)) JpegErrorExit(reinterpret_cast<j_common_ptr>(&cinfo));
    if (!jpeg_start_decompress(&cinfo)) JpegErrorExit(reinterpret_cast<j_common_ptr>(&cinfo));

    const int w = int(cinfo.output_width);
    const int h = int(cinfo.output_height);
    const int components = cinfo.output_components;
    if (!Image_SizeAllowed(w, h) || (components != 1 && components != 3 && components != 4))
        JpegErrorExit(reinterpret_cast<j_common_ptr>(&cinfo));
    const bool invertedInks = cinfo.saw_Adobe_marker != 0;
    pixels = static_cast<uint8_t*>(QS_ALLOC(size_t(w) * size_t(h) * 4, false));
    row = static_cast<uint8_t*>(QS_ALLOC(size_t(w) * size_t(components), false));
    if (!pixels || !row) JpegErrorExit(reinterpret_cast<j_common_ptr>(&cinfo));
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) JpegErrorExit(reinterpret_cast<j_common_ptr>(&cinfo));
        ConvertRow(row, pixels + size_t(y) * size_t(w) * 4, w, components, invertedInks);
    }
    // Every row is in; a missing end marker after them does not matter.
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    QS_FREE(row);
    if (width) *width = w;
    if (height) *height = h;
    return pixels;
}
