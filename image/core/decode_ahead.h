#pragma once
// The next image decoded on a second thread while the page switch goes on with the rest: the
// page's text, the panels' paints, the outline list. A decode costs most of a switch, and the
// other core is idle meanwhile.
//
// One decode is kept at a time. Its messages are kept, not shown: the thread that takes the
// image shows them, in order, when it puts the image on screen. A decode that is dropped ends on
// the worker, which frees its pixels; nothing of it is shown.
//
// Every member is called from one thread, the owner's.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "image/core/source_image.h"
#include "platform/core/deferred_messages.h"

namespace ostrelin {

struct DecodedImage {
  SourceImage image;          // empty when the decode failed
  DeferredMessages messages;  // why it failed, or what it warned of, not yet shown
};

class DecodeAhead {
 public:
  DecodeAhead() = default;
  ~DecodeAhead();  // waits for a decode still running
  DecodeAhead(const DecodeAhead&) = delete;
  DecodeAhead& operator=(const DecodeAhead&) = delete;

  // Starts decoding the image file at `path` (as DecodeImageFile does). A decode started before
  // and not taken is dropped.
  void Start(std::string path, const ImageLimits& limits = {});
  // Whether the decode started last is of `path` and has been neither taken nor dropped.
  bool Holds(std::string_view path) const;
  // Waits for the decode started last and hands over what it gave. Only after Holds() said so;
  // otherwise gives an empty image and no messages.
  DecodedImage Take();
  // Drops the decode started last, if any.
  void Drop();

 private:
  struct Job {
    std::string path;
    ImageLimits limits;
    DecodedImage result;
    bool done = false;  // under mutex_
  };
  void Work();

  std::mutex mutex_;
  std::condition_variable wake_;      // the worker: a job came, or the end
  std::condition_variable finished_;  // the owner: a job is done
  std::shared_ptr<Job> queued_;       // not yet begun by the worker; under mutex_
  bool stopping_ = false;             // under mutex_
  std::shared_ptr<Job> current_;      // started last, not taken; the owner's
  std::thread worker_;                // started with the first decode
};

}  // namespace ostrelin
