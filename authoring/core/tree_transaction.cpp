#include "authoring/core/tree_transaction.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <sstream>
#include <utility>

#include "authoring/core/series_parallel.h"
#include "platform/core/text_file.h"

namespace ostrelin {

namespace {

namespace fs = std::filesystem;

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) { gInterrupted = 1; }

std::function<StepOutcome(int)>& Hook() {
  static std::function<StepOutcome(int)> hook;
  return hook;
}

fs::path Relative(const std::string& relative) {
  std::string p = relative;
  std::replace(p.begin(), p.end(), '\\', '/');
  return fs::path(p).lexically_normal();
}

std::string Reason() { return std::strerror(errno); }

bool WriteFile(const fs::path& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = errno;
      ::close(fd);
      errno = saved;
      return false;
    }
    bytes.remove_prefix(size_t(n));
  }
  return ::close(fd) == 0;
}

bool gSync = true;

// fsync of a file or folder; a folder that cannot be synced is no reason to fail.
bool Sync(const fs::path& path, bool folder) {
  if (!gSync) return true;
  const int fd = ::open(path.c_str(), (folder ? O_RDONLY | O_DIRECTORY : O_RDONLY) | O_CLOEXEC);
  if (fd < 0) return folder;
  const bool ok = ::fsync(fd) == 0 || folder;
  ::close(fd);
  return ok;
}

// The staging folder with its folders for the new files and the old ones. The staging folder is
// marked as a top folder, so that ext4 puts it (and the files made in it) in a block group of its
// own choosing rather than beside the tree: where the tree lies, other work may have deleted many
// files lately, and ext4 without a journal passes over each recently deleted inode before it hands
// out a new one (180 files took 77 ms there on this disk, 3 ms in a fresh group). Where the flag
// means nothing the folders are made all the same.
bool MakeStagingFolders(const fs::path& staging, std::error_code& ec) {
  fs::create_directories(staging, ec);
  if (ec) return false;
  if (const int fd = ::open(staging.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && !(flags & FS_TOPDIR_FL)) {
      flags |= FS_TOPDIR_FL;
      ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
  }
  fs::create_directories(staging / "new", ec);
  if (!ec) fs::create_directories(staging / "old", ec);
  return !ec;
}

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

struct Journal {
  struct Entry {
    bool put = false;
    size_t number = 0;
    fs::path target;  // relative
  };
  std::vector<fs::path> folders;  // relative, in the order they were created
  std::vector<Entry> entries;

  std::string Text() const {
    std::string t = "atlasbau journal 1\n";
    for (const fs::path& f : folders) t += "folder " + f.generic_string() + "\n";
    for (const Entry& e : entries) {
      t += std::string(e.put ? "put " : "drop ") + std::to_string(e.number) + " " +
           e.target.generic_string() + "\n";
    }
    return t;
  }
  static bool Parse(const std::string& text, Journal& j) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != "atlasbau journal 1") return false;
    while (std::getline(in, line)) {
      if (line.starts_with("folder ")) {
        j.folders.push_back(Relative(line.substr(7)));
        continue;
      }
      const bool put = line.starts_with("put ");
      if (!put && !line.starts_with("drop ")) return false;
      const size_t at = put ? 4 : 5, blank = line.find(' ', at);
      if (blank == std::string::npos) return false;
      Entry e;
      e.put = put;
      try {
        e.number = std::stoul(line.substr(at, blank - at));
      } catch (...) {
        return false;
      }
      e.target = Relative(line.substr(blank + 1));
      if (e.target.empty() || e.target.is_absolute() || *e.target.begin() == "..") return false;
      j.entries.push_back(std::move(e));
    }
    return true;
  }
};

// Undoes the renames a journal lists, last first: a put that happened (its new file is gone from
// the staging folder) is taken out again, and what a change moved aside comes back.
bool RollBack(const fs::path& tree, const Journal& journal, std::string& error) {
  const fs::path staging = tree / kStagingFolder;
  std::set<fs::path> touched;
  bool ok = true;
  for (auto e = journal.entries.rbegin(); e != journal.entries.rend(); ++e) {
    const fs::path target = tree / e->target;
    const fs::path fresh = staging / "new" / std::to_string(e->number);
    const fs::path old = staging / "old" / std::to_string(e->number);
    if (e->put && !Exists(fresh) && Exists(target) && ::unlink(target.c_str()) != 0) {
      error = target.string() + ": " + Reason();
      ok = false;
    }
    if (Exists(old) && ::rename(old.c_str(), target.c_str()) != 0) {
      error = target.string() + ": " + Reason();
      ok = false;
    }
    touched.insert(target.parent_path());
  }
  for (auto f = journal.folders.rbegin(); f != journal.folders.rend(); ++f) {
    std::error_code ec;
    if (fs::is_directory(tree / *f, ec) && fs::is_empty(tree / *f, ec)) fs::remove(tree / *f, ec);
    touched.insert((tree / *f).parent_path());
  }
  for (const fs::path& folder : touched) Sync(folder, true);
  return ok;
}

// Unlinks the files of a folder and its subfolders, several at once. Freeing the blocks of a file
// that has reached the disk can wait on the device (a discard, on this machine about 4 ms a
// file); overlapped, the waits of a run's few hundred files take little more than one.
void UnlinkFilesOf(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_directory(ec)) files.push_back(it->path());
  }
  constexpr size_t kFilesPerWorker = 16, kMaxWorkers = 16;
  RunJobs(files.size(), std::min(kMaxWorkers, files.size() / kFilesPerWorker),
          [&](size_t i) { ::unlink(files[i].c_str()); });
}

bool RemoveStaging(const fs::path& tree, std::string& error) {
  std::error_code ec;
  UnlinkFilesOf(tree / kStagingFolder);
  fs::remove_all(tree / kStagingFolder, ec);
  if (ec) {
    error = (tree / kStagingFolder).string() + ": " + ec.message();
    return false;
  }
  Sync(tree, true);
  return true;
}

// Everything written to the file system of `folder` reaches the disk: one call for a whole
// batch of files and folders; where syncfs fails, each of `files` and `folders` on its own.
bool SyncAll(const fs::path& folder, const std::vector<fs::path>& files,
             const std::set<fs::path>& folders) {
  if (!gSync) return true;
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    const bool done = ::syncfs(fd) == 0;
    ::close(fd);
    if (done) return true;
  }
  for (const fs::path& file : files) {
    if (!Sync(file, false)) return false;
  }
  for (const fs::path& f : folders) Sync(f, true);
  return true;
}

}  // namespace

void SetTransactionSyncForTesting(bool sync) { gSync = sync; }

void SetTransactionStepHookForTesting(std::function<StepOutcome(int step)> hook) {
  Hook() = std::move(hook);
}

// An interrupt stays noted once caught: the command that caught it ends as soon as it can.
InterruptGuard::InterruptGuard() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &oldInt_);
  sigaction(SIGTERM, &action, &oldTerm_);
}

InterruptGuard::~InterruptGuard() {
  sigaction(SIGINT, &oldInt_, nullptr);
  sigaction(SIGTERM, &oldTerm_, nullptr);
}

bool InterruptGuard::Interrupted() { return gInterrupted != 0; }

TreeTransaction::TreeTransaction(fs::path tree) : tree_(std::move(tree)) {}

TreeTransaction::~TreeTransaction() {
  if (!reservation_) return;
  TakeReservation();
  std::string ignored;
  RemoveStaging(tree_, ignored);
  std::error_code ec;
  if (treeMadeAhead_) fs::remove(tree_, ec);  // only when it is still empty
}

void TreeTransaction::Reserve(size_t files) {
  if (reservation_ || files == 0) return;
  std::ostringstream recovered;
  std::string error;
  std::error_code ec;
  const bool treeExisted = fs::exists(tree_, ec);
  if (!RecoverTree(tree_, recovered, error)) return;
  if (!MakeStagingFolders(tree_ / kStagingFolder, ec)) return;
  const fs::path fresh = tree_ / kStagingFolder / "new";
  treeMadeAhead_ = !treeExisted;
  reservation_ = std::make_unique<SideJob>(
      [this, fresh, files] {
        for (size_t k = 0; k < files; ++k) {
          const fs::path file = fresh / ("r" + std::to_string(k));
          const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
          if (fd < 0) return;
          ::close(fd);
          reserved_ = k + 1;
        }
      },
      true);
}

size_t TreeTransaction::TakeReservation() {
  if (!reservation_) return 0;
  reservation_->Wait();
  reservation_.reset();
  return reserved_;
}

void TreeTransaction::Put(const std::string& relative, std::string bytes) {
  const fs::path target = Relative(relative);
  for (Change& c : changes_) {
    if (c.target == target) {
      c.put = true;
      c.bytes = std::move(bytes);
      return;
    }
  }
  changes_.push_back({target, true, std::move(bytes)});
}

void TreeTransaction::Drop(const std::string& relative) {
  const fs::path target = Relative(relative);
  for (const Change& c : changes_) {
    if (c.target == target) return;
  }
  changes_.push_back({target, false, {}});
}

void TreeTransaction::Folder(const std::string& relative) {
  const fs::path folder = Relative(relative);
  // Its parents first, so that each is created (and removed again) on its own.
  fs::path partial;
  for (const fs::path& part : folder) {
    partial /= part;
    if (std::find(folders_.begin(), folders_.end(), partial) == folders_.end()) {
      folders_.push_back(partial);
    }
  }
}

bool TreeTransaction::Touches(const std::string& relative) const {
  const fs::path target = Relative(relative);
  return std::any_of(changes_.begin(), changes_.end(),
                     [&](const Change& c) { return c.target == target; });
}

namespace {

// One commit under way: its write steps, each of which asks first (a test may make it fail or
// stop, an interrupt makes it fail), and the ways back.
class CommitRun {
 public:
  CommitRun(const fs::path& tree, std::string& error, bool treeMadeAhead)
      : tree_(tree), staging_(tree / kStagingFolder), error_(error) {
    std::error_code ec;
    newTree_ = treeMadeAhead || !fs::exists(tree_, ec);
  }

  const fs::path& Tree() const { return tree_; }
  const fs::path& Staging() const { return staging_; }
  std::string& Error() { return error_; }

  bool Go(const std::string& what) {
    ++step_;
    const StepOutcome outcome = Hook() ? Hook()(step_) : StepOutcome::kGo;
    if (outcome == StepOutcome::kCrash) {
      crashed_ = true;
      error_ = "stopped at step " + std::to_string(step_);
      return false;
    }
    if (outcome == StepOutcome::kFail) {
      error_ = what + ": cannot be written (an injected failure)";
      return false;
    }
    if (InterruptGuard::Interrupted()) {
      error_ = "interrupted; nothing of this run is kept";
      return false;
    }
    return true;
  }

  // Before the journal: a failure only has the staging folder (and a tree folder made for it) to
  // take away. False, for the caller to return.
  bool Abandon() {
    if (crashed_) return false;
    std::string ignored;
    RemoveStaging(tree_, ignored);
    RemoveNewTree();
    return false;
  }

  // After the journal: a failure rolls it back. False, for the caller to return.
  bool RollBackTo(const Journal& journal) {
    if (crashed_) return false;
    std::string rollBackError;
    if (!RollBack(tree_, journal, rollBackError) || !RemoveStaging(tree_, rollBackError)) {
      error_ += "; the rollback failed too (" + rollBackError +
                "): run atlasbau check on the tree to finish it";
      return false;
    }
    RemoveNewTree();
    return false;
  }

 private:
  void RemoveNewTree() {
    std::error_code ec;
    if (newTree_) fs::remove(tree_, ec);
  }

  fs::path tree_, staging_;
  std::string& error_;
  bool newTree_ = false;
  bool crashed_ = false;
  int step_ = 0;
};

// A write-protected file keeps its contents, as it would if it were rewritten in place.
bool CheckWritable(const fs::path& tree, const std::vector<TreeChange>& changes,
                   std::string& error) {
  for (const TreeChange& c : changes) {
    const fs::path target = tree / c.target;
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      ::close(fd);
    } else if (errno != ENOENT) {
      error = target.string() + ": " + Reason() + "; nothing was written";
      return false;
    }
  }
  return true;
}

// The folders asked for and those the changed files lie in that do not exist yet, parents first.
std::vector<fs::path> MissingFolders(const fs::path& tree, const std::vector<fs::path>& folders,
                                     const std::vector<TreeChange>& changes) {
  std::error_code ec;
  std::vector<fs::path> missing;
  for (const fs::path& f : folders) {
    if (!fs::is_directory(tree / f, ec)) missing.push_back(f);
  }
  for (const TreeChange& c : changes) {
    fs::path partial;
    for (const fs::path& part : c.target.parent_path()) {
      partial /= part;
      if (!fs::is_directory(tree / partial, ec) &&
          std::find(missing.begin(), missing.end(), partial) == missing.end()) {
        missing.push_back(partial);
      }
    }
  }
  return missing;
}

// The new files written into the staging folder and synced, then the journal that names every
// change.
bool StageWithJournal(CommitRun& run, const std::vector<TreeChange>& changes, size_t reserved,
                      Journal& journal) {
  const fs::path& staging = run.Staging();
  std::string& error = run.Error();
  std::error_code ec;
  if (!run.Go(run.Tree().string())) return run.Abandon();
  // The new files' folder may hold the files reserved ahead already.
  if (!MakeStagingFolders(staging, ec)) {
    error = staging.string() + ": " + ec.message();
    return run.Abandon();
  }
  // Every file's step first, in order; then the files are written a few at once.
  std::vector<fs::path> staged;
  std::vector<size_t> stagedChange;
  for (size_t i = 0; i < changes.size(); ++i) {
    journal.entries.push_back({changes[i].put, i, changes[i].target});
    if (!changes[i].put) continue;
    if (!run.Go((run.Tree() / changes[i].target).string())) return run.Abandon();
    staged.push_back(staging / "new" / std::to_string(i));
    stagedChange.push_back(i);
  }
  std::vector<int> failure(staged.size(), 0);
  constexpr size_t kWriters = 4;
  RunJobs(staged.size(), kWriters, [&](size_t j) {
    // A reserved file takes the staged file's name; should that fail, the file is made anew.
    if (j < reserved) {
      ::rename((staging / "new" / ("r" + std::to_string(j))).c_str(), staged[j].c_str());
    }
    if (!WriteFile(staged[j], changes[stagedChange[j]].bytes)) {
      failure[j] = errno != 0 ? errno : EIO;
    }
  });
  for (size_t j = 0; j < staged.size(); ++j) {
    if (failure[j] != 0) {
      error = (run.Tree() / changes[stagedChange[j]].target).string() + ": " +
              std::strerror(failure[j]);
      return run.Abandon();
    }
  }
  if (!run.Go("syncing the staged files")) return run.Abandon();
  if (!SyncAll(staging, staged, {staging / "new"})) {
    error = staging.string() + ": " + Reason();
    return run.Abandon();
  }
  if (!run.Go((staging / "journal").string())) return run.Abandon();
  if (!WriteFile(staging / "journal.new", journal.Text()) ||
      !Sync(staging / "journal.new", false) ||
      ::rename((staging / "journal.new").c_str(), (staging / "journal").c_str()) != 0) {
    error = (staging / "journal").string() + ": " + Reason();
    return run.Abandon();
  }
  Sync(staging, true);
  return true;
}

// The missing folders made, the old files moved aside and the new ones put in their place, the
// folders synced and the journal removed.
bool PutInPlace(CommitRun& run, const std::vector<TreeChange>& changes, const Journal& journal) {
  const fs::path& tree = run.Tree();
  const fs::path& staging = run.Staging();
  std::string& error = run.Error();
  std::set<fs::path> touched;
  for (const fs::path& f : journal.folders) {
    if (!run.Go((tree / f).string())) return run.RollBackTo(journal);
    if (::mkdir((tree / f).c_str(), 0777) != 0 && errno != EEXIST) {
      error = (tree / f).string() + ": " + Reason();
      return run.RollBackTo(journal);
    }
    touched.insert((tree / f).parent_path());
  }
  for (size_t i = 0; i < changes.size(); ++i) {
    const fs::path target = tree / changes[i].target;
    touched.insert(target.parent_path());
    if (Exists(target)) {
      if (!run.Go(target.string())) return run.RollBackTo(journal);
      const fs::path old = staging / "old" / std::to_string(i);
      if (::rename(target.c_str(), old.c_str()) != 0) {
        error = target.string() + ": " + Reason();
        return run.RollBackTo(journal);
      }
    }
    if (!changes[i].put) continue;
    if (!run.Go(target.string())) return run.RollBackTo(journal);
    const fs::path fresh = staging / "new" / std::to_string(i);
    if (::rename(fresh.c_str(), target.c_str()) != 0) {
      error = target.string() + ": " + Reason();
      return run.RollBackTo(journal);
    }
  }
  if (!run.Go("syncing the folders")) return run.RollBackTo(journal);
  SyncAll(tree, {}, touched);
  if (!run.Go((staging / "journal").string())) return run.RollBackTo(journal);
  if (::unlink((staging / "journal").c_str()) != 0) {
    error = (staging / "journal").string() + ": " + Reason();
    return run.RollBackTo(journal);
  }
  Sync(staging, true);
  return true;
}

}  // namespace

bool TreeTransaction::Commit(std::string& error) {
  // A reservation recovered the tree before it made its files; without one (or when it made
  // none) the tree is recovered now, which also takes away an empty staging folder.
  const bool treeMadeAhead = std::exchange(treeMadeAhead_, false);
  const size_t reserved = TakeReservation();
  std::ostringstream recovered;
  if (reserved == 0 && !RecoverTree(tree_, recovered, error)) return false;
  const InterruptGuard guard;
  CommitRun run(tree_, error, treeMadeAhead);
  if (!CheckWritable(tree_, changes_, error)) return run.Abandon();
  Journal journal;
  journal.folders = MissingFolders(tree_, folders_, changes_);
  if (!StageWithJournal(run, changes_, reserved, journal) || !PutInPlace(run, changes_, journal)) {
    return false;
  }
  // Done: what is left in the staging folder is what the run replaced. Should it stay (it
  // cannot be removed), the next run or check takes it away.
  std::string ignored;
  RemoveStaging(tree_, ignored);
  return true;
}

bool RecoverTree(const fs::path& tree, std::ostream& log, std::string& error) {
  const fs::path staging = tree / kStagingFolder;
  std::error_code ec;
  if (!fs::exists(staging, ec)) return true;
  if (!fs::is_directory(staging, ec)) {
    error = staging.string() + " is in the way of atlasbau's staging folder; move it away";
    return false;
  }
  const InterruptGuard guard;
  if (Exists(staging / "journal")) {
    const std::optional<std::string> text = ReadFileBytes(staging / "journal");
    Journal journal;
    if (!text || !Journal::Parse(*text, journal)) {
      error = (staging / "journal").string() +
              " cannot be read: the tree was left half-changed by an earlier run; restore it "
              "from a copy";
      return false;
    }
    if (!RollBack(tree, journal, error)) {
      error = "rolling back the interrupted run in " + tree.string() + ": " + error;
      return false;
    }
    log << "an interrupted run of atlasbau was rolled back: " << journal.entries.size()
        << " file(s) are as they were before it\n";
  } else {
    log << "the staging folder an earlier run of atlasbau left behind was removed (it held "
           "nothing the tree needs)\n";
  }
  return RemoveStaging(tree, error);
}

}  // namespace ostrelin
