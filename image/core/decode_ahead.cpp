#include "image/core/decode_ahead.h"

#include <utility>

#include "image/core/jpg_bild.h"

namespace ostrelin {

DecodeAhead::~DecodeAhead() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    queued_.reset();
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void DecodeAhead::Start(std::string path, const ImageLimits& limits) {
  Drop();
  auto job = std::make_shared<Job>();
  job->path = std::move(path);
  job->limits = limits;
  current_ = job;
  {
    const std::lock_guard lock(mutex_);
    queued_ = std::move(job);
  }
  if (!worker_.joinable()) worker_ = std::thread([this] { Work(); });
  wake_.notify_one();
}

bool DecodeAhead::Holds(std::string_view path) const { return current_ && current_->path == path; }

DecodedImage DecodeAhead::Take() {
  if (!current_) return {};
  const std::shared_ptr<Job> job = std::move(current_);
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [&] { return job->done; });
  return std::move(job->result);
}

void DecodeAhead::Drop() {
  if (!current_) return;
  const std::lock_guard lock(mutex_);
  if (queued_ == current_) queued_.reset();  // not begun: never decoded
  current_.reset();  // begun: the worker holds the last reference and frees the pixels
}

void DecodeAhead::Work() {
  for (;;) {
    std::shared_ptr<Job> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || queued_; });
      if (stopping_) return;
      job = std::move(queued_);
    }
    DecodeImageFile(job->path, job->result.image, job->result.messages, job->limits);
    {
      const std::lock_guard lock(mutex_);
      job->done = true;
    }
    finished_.notify_all();
  }
}

}  // namespace ostrelin
