#pragma once
// All-or-nothing changes of a data tree. Every new file is written into a staging folder inside
// the tree and put in place by renames only once all of them are on disk; the files it replaces
// or removes move into the same folder, so that a failure, an interrupt or a crash can bring them
// back. A journal in the staging folder lists the renames while they happen:
//
//   .atlasbau/new/N      the new contents of change N
//   .atlasbau/old/N      what change N replaced or removed
//   .atlasbau/journal    "put N PATH", "drop N PATH", "folder PATH" lines, present from the
//                        first rename in the tree until the last one is done
//
// A staging folder with a journal is the trace of a run that stopped half-way: RecoverTree rolls
// it back, so the tree is again byte for byte what it was before that run. Without a journal the
// folder holds nothing the tree needs (the run stopped before its first rename or after its last)
// and is removed. Durability is paid once a run: the staged files are written a few at once and
// synced in one batch (syncfs), then the journal, then the renames in a second batch.

#include <signal.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace ostrelin {

// The staging folder's name below the tree root.
inline constexpr const char* kStagingFolder = ".atlasbau";

// A file a transaction puts (with its bytes) or drops.
struct TreeChange {
  std::filesystem::path target;  // below the tree
  bool put = false;
  std::string bytes;
};

class SideJob;

class TreeTransaction {
 public:
  explicit TreeTransaction(std::filesystem::path tree);
  ~TreeTransaction();  // a reservation that was not committed is taken away again
  TreeTransaction(const TreeTransaction&) = delete;
  TreeTransaction& operator=(const TreeTransaction&) = delete;

  // Makes `files` empty files in the staging folder on a thread of its own while the caller goes
  // on (encoding what goes into them, say); Commit writes the first puts into them. Making files
  // is most of what staging costs where the file system is slow to allocate them (ext4 without a
  // journal passes over every recently deleted inode). A tree left half-changed by an earlier run
  // is recovered first; should that fail, nothing is reserved and Commit says why.
  void Reserve(size_t files);

  // `relative` is a path below the tree with "/" or "\" between folders.
  void Put(const std::string& relative, std::string bytes);
  void Drop(const std::string& relative);
  // A folder the tree needs; created with the changes when it is missing.
  void Folder(const std::string& relative);

  // Whether the transaction changes a file already (put or drop).
  bool Touches(const std::string& relative) const;

  // Carries out every change or none. A tree left half-changed by an earlier run is recovered
  // first. False with `error` set when the tree is as it was before.
  bool Commit(std::string& error);

 private:
  using Change = TreeChange;
  // Waits for the reservation and tells how many files it made.
  size_t TakeReservation();

  std::filesystem::path tree_;
  std::vector<Change> changes_;
  std::vector<std::filesystem::path> folders_;
  std::unique_ptr<SideJob> reservation_;
  size_t reserved_ = 0;         // files the reservation made, written on its thread
  bool treeMadeAhead_ = false;  // the reservation made the tree's folder
};

// Rolls back what a stopped run left (see above). True when the tree holds no staging folder
// afterwards; `log` says what was done, `error` why the folder could not be cleared.
bool RecoverTree(const std::filesystem::path& tree, std::ostream& log, std::string& error);

// While one lives, SIGINT and SIGTERM do not end the process but make the next step of a
// transaction fail, which then rolls back; Interrupted() tells afterwards.
class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;
  static bool Interrupted();

 private:
  struct sigaction oldInt_ {
  }, oldTerm_{};
};

// For tests: `hook` is called before every write step of a transaction with the step's number
// (1, 2, ...); it returns kGo to let it happen, kFail to make it fail as a full disk would, or
// kCrash to stop the transaction on the spot, leaving everything as a killed process would. The
// steps of the staged files come one after the other before the files are written, a few at once.
// An empty hook removes it.
enum class StepOutcome { kGo, kFail, kCrash };
void SetTransactionStepHookForTesting(std::function<StepOutcome(int step)> hook);
// For tests that run hundreds of transactions: false skips every sync (nothing else changes).
void SetTransactionSyncForTesting(bool sync);

}  // namespace ostrelin
