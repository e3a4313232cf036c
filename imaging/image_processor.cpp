#include "imaging/image_processor.h"

#include "platform/arith.h"

namespace mirufo {

void TImageSequencer::Relay(TProgressStage /*Stage*/, std::uint8_t PercentDone) {
  const float share = static_cast<float>(100.0L / StepCount);
  const long double done =
      StepIndex * static_cast<long double>(share) + (PercentDone / 100.0L) * share;
  ReportProgress(Sender, psRunning, ClampByte(static_cast<std::int32_t>(Round(done))), Caption,
                 OnProgress);
}

bool RunSequence(TImageSequencer& sequencer, const std::vector<TImageProcessor*>& steps,
                 const std::string& caption) {
  sequencer.Caption = caption;
  sequencer.StepCount = static_cast<int>(steps.size());
  sequencer.StepIndex = 0;
  ReportProgress(sequencer.Sender, psStarting, 0, sequencer.Caption, sequencer.OnProgress);
  bool succeeded = true;
  for (TImageProcessor* step : steps) {
    sequencer.OnProgress = step->OnProgress;
    step->OnProgress = [&sequencer](const void*, TProgressStage stage, std::uint8_t percent, bool,
                                    const TRect&,
                                    const std::string&) { sequencer.Relay(stage, percent); };
    step->Sender = sequencer.Sender;
    if (succeeded)
      succeeded = RunStep(*step);
    ++sequencer.StepIndex;
  }
  ReportProgress(sequencer.Sender, psEnding, 100, sequencer.Caption, sequencer.OnProgress);
  return succeeded;
}

bool RunStep(TImageProcessor& step) {
  const std::string name = step.GetName();
  ReportProgress(step.Sender, psStarting, 0, name, step.OnProgress);
  const bool result = step.Execute();
  ReportProgress(step.Sender, psEnding, 100, name, step.OnProgress);
  return result;
}

} // namespace mirufo
