// Processing steps and the sequencer that runs them one after another.
//
// A step reads a source bitmap that someone else owns and writes its own
// result bitmap. The sequencer runs steps in order, stops after the first
// failure, and turns each step's progress into progress of the whole
// sequence.
#pragma once

#include "imaging/bitmap.h"
#include "imaging/progress.h"

#include <string>
#include <vector>

namespace mirufo {

class TImageProcessor {
public:
  TImageProcessor() = default;
  virtual ~TImageProcessor() = default;
  TImageProcessor(const TImageProcessor&) = delete;
  TImageProcessor& operator=(const TImageProcessor&) = delete;

  // The step's caption.
  virtual std::string GetName() const = 0;
  // Performs the step; true on success.
  [[nodiscard]] virtual bool Execute() = 0;

  const TBitmap* Source = nullptr; // not owned
  TBitmap Result;                  // owned, empty until the step succeeds
  TProgressEvent OnProgress;
  const void* Sender = nullptr;

protected:
  // What the step hands to the library operation it runs.
  TProgressInfo ProgressInfo() const { return MakeProgressInfo(Sender, GetName(), OnProgress); }
};

class TImageSequencer {
public:
  std::string Caption;
  int StepCount = 0;
  int StepIndex = 0; // the running step, from 0
  const void* Sender = nullptr;
  TProgressEvent OnProgress;

  // Reports a step's progress as progress of the whole sequence: stage
  // running, Round(index * share + percent / 100 * share) with share =
  // 100 / StepCount as a single, under the sequence's caption.
  void Relay(TProgressStage Stage, std::uint8_t PercentDone);
};

// Runs the steps in order (see TImageSequencer): reports the start through
// the sequencer's callback, then for each step adopts the step's callback,
// routes the step's reports through the sequencer and gives it the
// sequencer's sender, and runs it while every earlier step succeeded;
// finally reports the end. True only if every step succeeded. The steps keep
// a relay to the sequencer, which must therefore outlive their use.
[[nodiscard]] bool RunSequence(TImageSequencer& sequencer,
                               const std::vector<TImageProcessor*>& steps,
                               const std::string& caption);

// Reports the start under the step's name, runs Execute, reports the end and
// answers Execute's result.
[[nodiscard]] bool RunStep(TImageProcessor& step);

} // namespace mirufo
