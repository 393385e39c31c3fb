#include "image/core/jpeg_decoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "image/core/colour_tables.h"
#include "resources/core/ui_texts.h"
#include "platform/core/paths.h"

namespace ostrelin {
namespace {

// Rows asked of the library per call.
constexpr int kBatchRows = 16;

// Everything a decode needs that must outlive a jump out of the library. It lives in the frame
// of DecodeWith, outside the frame that calls setjmp, so its members are never left in registers
// across a jump and its destructor runs on every path: also when a bad_alloc from a message box
// leaves the decode, the library's memory is given back (destroying twice, or a decompressor
// never created, does nothing).
struct JpegJob {
  JpegJob() = default;
  JpegJob(const JpegJob&) = delete;
  JpegJob& operator=(const JpegJob&) = delete;
  ~JpegJob() { jpeg_destroy_decompress(&cinfo); }

  jpeg_decompress_struct cinfo{};
  struct ErrorManager {
    jpeg_error_mgr pub;  // first member: the library hands back a pointer to it
    std::jmp_buf jump;
    MessageService* messages;
  } error{};
  jpeg_progress_mgr progress{};
  bool tooManyScans = false;
  MessageService* messages = nullptr;
  const ImageLimits* limits = nullptr;
  SourceImage* image = nullptr;
  SourceImage spare;  // the pixels the image held before, reused when the new one is as large
  std::FILE* file = nullptr;
  std::span<const std::uint8_t> bytes;
};

JpegJob& JobOf(j_common_ptr cinfo) { return *static_cast<JpegJob*>(cinfo->client_data); }

// Called from inside the library, whose C frames no exception may cross: a message that cannot
// be shown for lack of memory is dropped, and the load goes on or is abandoned as it would be.
void ShowLibraryMessage(j_common_ptr cinfo) noexcept {
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  auto* error = reinterpret_cast<JpegJob::ErrorManager*>(cinfo->err);
  try {
    error->messages->Show(text, MessageButtons::Ok, MessageIcon::Exclamation,
                          image_text::kDecoderCaption);
  } catch (const std::bad_alloc&) {
  }
}

[[noreturn]] void AbandonLoad(j_common_ptr cinfo) {
  (*cinfo->err->output_message)(cinfo);
  auto* error = reinterpret_cast<JpegJob::ErrorManager*>(cinfo->err);
  std::longjmp(error->jump, 1);
}

void WatchScans(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  JpegJob& job = JobOf(cinfo);
  if (d->input_scan_number > job.limits->maxScans) {
    job.tooManyScans = true;
    std::longjmp(job.error.jump, 1);
  }
}

// How the decoder takes a colour image from the library: as scanlines of interleaved components
// the library has upsampled, or as the components' own rows, which the decoder upsamples and
// converts in one pass. The latter for the usual samplings, with the colour differences at full
// size or at half the width and height (with at least three samples a row, below which the
// library would not smooth).
enum class Sampling { kScanlines, kFull, kHalf };

Sampling SamplingOf(const jpeg_decompress_struct& cinfo) {
  const jpeg_component_info* c = cinfo.comp_info;
  if (cinfo.num_components != 3 || c[1].h_samp_factor != 1 || c[1].v_samp_factor != 1 ||
      c[2].h_samp_factor != 1 || c[2].v_samp_factor != 1) {
    return Sampling::kScanlines;
  }
  if (c[0].h_samp_factor == 1 && c[0].v_samp_factor == 1) return Sampling::kFull;
  if (c[0].h_samp_factor == 2 && c[0].v_samp_factor == 2 && c[1].downsampled_width > 2) {
    return Sampling::kHalf;
  }
  return Sampling::kScanlines;
}

// The library's raw rows, an iMCU row (8 or 16 image rows) a call, kept in three slots: the one
// converted, the one before it and the one after, whose edge rows the upsampling of half-size
// colour differences reaches into (at the image's top and bottom edges the edge row stands in).
// Only trivially destructible locals: the library may jump out of here. False when the library
// gave fewer rows than the image has.
bool ConvertRawRows(jpeg_decompress_struct& cinfo, Sampling sampling, SourceImage& image,
                    const ColourTables& tables) {
  const auto common = reinterpret_cast<j_common_ptr>(&cinfo);
  const int groupRows = cinfo.max_v_samp_factor * DCTSIZE;
  const bool half = sampling == Sampling::kHalf;
  JSAMPARRAY slots[3][3];
  for (auto& slot : slots) {
    for (int c = 0; c < 3; ++c) {
      slot[c] = (*cinfo.mem->alloc_sarray)(common, JPOOL_IMAGE,
                                           cinfo.comp_info[c].width_in_blocks * DCTSIZE,
                                           JDIMENSION(c == 0 ? groupRows : DCTSIZE));
    }
  }
  const int chromaWidth = static_cast<int>(cinfo.comp_info[1].downsampled_width);
  const int chromaHeight = static_cast<int>(cinfo.comp_info[1].downsampled_height);
  const JDIMENSION fullWidth = JDIMENSION(2 * chromaWidth + 32);
  JSAMPARRAY upsampled = (*cinfo.mem->alloc_sarray)(common, JPOOL_IMAGE, fullWidth, 2);
  auto* sums = static_cast<std::uint16_t*>((*cinfo.mem->alloc_small)(
      common, JPOOL_IMAGE, (std::size_t(chromaWidth) + 2) * sizeof(std::uint16_t)));
  const auto read = [&](int group) {
    return jpeg_read_raw_data(&cinfo, slots[group % 3], JDIMENSION(groupRows)) ==
           JDIMENSION(groupRows);
  };
  // Sample row `row` of colour difference `c` (1 or 2), counted from the image's top.
  const auto chromaRow = [&](int c, int row) { return slots[row / DCTSIZE % 3][c][row % DCTSIZE]; };

  const int height = image.height;
  const int groups = static_cast<int>(cinfo.total_iMCU_rows);
  if (groups <= 0 || !read(0)) return false;
  for (int m = 0; m < groups; ++m) {
    if (m + 1 < groups && !read(m + 1)) return false;
    JSAMPARRAY* group = slots[m % 3];
    for (int k = 0; k < groupRows && m * groupRows + k < height; ++k) {
      const int row = m * groupRows + k;
      // Full-size colour differences have a row for every image row, half-size ones one for two.
      const std::uint8_t* cb;
      const std::uint8_t* cr;
      if (half) {
        // An even row lies nearer the sample row above, an odd one the row below.
        const int nearest = row / 2;
        int next = row % 2 == 0 ? nearest - 1 : nearest + 1;
        if (next < 0 || next >= chromaHeight) next = nearest;
        UpsampleHalfRow(chromaRow(1, nearest), chromaRow(1, next), chromaWidth, upsampled[0], sums);
        UpsampleHalfRow(chromaRow(2, nearest), chromaRow(2, next), chromaWidth, upsampled[1], sums);
        cb = upsampled[0];
        cr = upsampled[1];
      } else {
        cb = group[1][k];
        cr = group[2][k];
      }
      // The first (top) row goes into the last row of the bitmap: it is bottom-up.
      ConvertPlanarYCbCrRow(tables, group[0][k], cb, cr, image.Row(height - 1 - row), image.width);
    }
  }
  return true;
}

void Refuse(MessageService& messages, const char* text) {
  messages.Show(text, MessageButtons::Ok, MessageIcon::Exclamation, image_text::kDecoderCaption);
}

// The part that talks to the library. Only trivially destructible locals live here: a jump back
// into this frame must not skip a destructor.
bool RunDecoder(JpegJob& job) {
  jpeg_decompress_struct& cinfo = job.cinfo;
  cinfo.err = jpeg_std_error(&job.error.pub);
  job.error.pub.output_message = ShowLibraryMessage;
  job.error.pub.error_exit = AbandonLoad;
  job.error.messages = job.messages;

  if (setjmp(job.error.jump)) {
    jpeg_destroy_decompress(&cinfo);
    *job.image = SourceImage{};
    if (job.tooManyScans) Refuse(*job.messages, image_text::kJpegTooManyScans);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.client_data = &job;
  job.progress.progress_monitor = WatchScans;
  cinfo.progress = &job.progress;
  if (job.file != nullptr) {
    jpeg_stdio_src(&cinfo, job.file);
  } else {
    jpeg_mem_src(&cinfo, job.bytes.data(), static_cast<unsigned long>(job.bytes.size()));
  }
  jpeg_read_header(&cinfo, TRUE);

  bool grey = false;
  if (cinfo.jpeg_color_space == JCS_YCbCr && cinfo.num_components == 3) {
    cinfo.out_color_space = JCS_YCbCr;  // no library conversion: the tables do it
  } else if (cinfo.jpeg_color_space == JCS_GRAYSCALE && cinfo.num_components == 1) {
    cinfo.out_color_space = JCS_GRAYSCALE;
    grey = true;
  } else {
    jpeg_destroy_decompress(&cinfo);
    Refuse(*job.messages, image_text::kJpegColourSpace);
    return false;
  }
  cinfo.scale_num = cinfo.scale_denom = 1;
  cinfo.quantize_colors = FALSE;
  if (!AcceptImageSize(cinfo.image_width, cinfo.image_height, *job.limits, *job.messages)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  const int width = static_cast<int>(cinfo.image_width) & ~3;
  const int height = static_cast<int>(cinfo.image_height);
  if (!AllocateSourceImage(*job.image, width, height, *job.messages, job.spare)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }

  const ColourTables& tables = InitColourTables();
  const Sampling sampling = grey ? Sampling::kScanlines : SamplingOf(cinfo);
  if (sampling != Sampling::kScanlines) {
    cinfo.raw_data_out = TRUE;
    jpeg_start_decompress(&cinfo);
    if (!ConvertRawRows(cinfo, sampling, *job.image, tables)) {
      jpeg_destroy_decompress(&cinfo);
      *job.image = SourceImage{};
      return false;
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
  }
  jpeg_start_decompress(&cinfo);
  // The library writes whole scanlines (all of the file's columns) into a batch of rows from its
  // own pool, which jpeg_destroy_decompress gives back on every path; the conversion then writes
  // the kept width of each into the bitmap while the batch is still in the cache.
  const JDIMENSION batchBytes = cinfo.output_width * JDIMENSION(cinfo.output_components);
  JSAMPARRAY batch = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                batchBytes, kBatchRows);
  SourceImage& image = *job.image;
  while (cinfo.output_scanline < cinfo.output_height) {
    const int top = static_cast<int>(cinfo.output_scanline);
    const JDIMENSION read = jpeg_read_scanlines(&cinfo, batch, kBatchRows);
    if (read == 0) break;  // the stdio and memory sources never suspend; never loop forever
    // The first (top) scanline goes into the last row: the bitmap is bottom-up.
    for (int k = 0; k < static_cast<int>(read); ++k) {
      std::uint8_t* row = image.Row(height - 1 - (top + k));
      if (grey) {
        ExpandGreyRow(batch[k], row, width);
      } else {
        ConvertInterleavedYCbCrRow(tables, batch[k], row, width);
      }
    }
  }
  if (cinfo.output_scanline < cinfo.output_height) {
    jpeg_destroy_decompress(&cinfo);
    image = SourceImage{};
    return false;
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

bool DecodeWith(JpegJob& job, SourceImage& image, MessageService& messages,
                const ImageLimits& limits) {
  job.messages = &messages;
  job.limits = &limits;
  job.image = &image;
  job.spare = std::move(image);
  image = SourceImage{};
  return RunDecoder(job);
}

}  // namespace

bool DecodeJpegFile(std::string_view path, SourceImage& image, MessageService& messages,
                    const ImageLimits& limits) {
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  const std::unique_ptr<std::FILE, Closer> in(OpenForReading(path));
  if (!in) {
    image = SourceImage{};
    messages.Show(std::string(image_text::kFileNotFound) + std::string(path), MessageButtons::Ok,
                  MessageIcon::Exclamation);
    return false;
  }
  JpegJob job;
  job.file = in.get();
  return DecodeWith(job, image, messages, limits);
}

bool DecodeJpeg(std::span<const std::uint8_t> bytes, SourceImage& image, MessageService& messages,
                const ImageLimits& limits) {
  JpegJob job;
  job.bytes = bytes;
  return DecodeWith(job, image, messages, limits);
}

}  // namespace ostrelin
