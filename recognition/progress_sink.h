#pragma once
// What the recognizer sees of the progress window: the real window (with Cancel) implements
// it in the program, tests implement it with a scripted fake. The recognizer asks IsAlive
// before every other call, as it would test the window handle with IsWindow.

namespace orla {

class ProgressSink {
 public:
  // The window still exists.
  virtual bool IsAlive() const = 0;
  // The bar's current position, 0..100.
  virtual int Position() const = 0;
  // The bar position at which the current pass's share of the bar ends.
  virtual int PassEnd() const = 0;
  virtual void SetPassEnd(int end) = 0;
  virtual void SetPos(int position) = 0;
  // Dispatches the thread's pending window messages. Stages call this once per pixel in
  // places, so implementations keep it cheap when nothing is pending.
  virtual void PumpMessages() = 0;
  // The operator pressed Cancel (or Esc).
  virtual bool Cancelled() const = 0;
  // How many pixels a stage that walks the page may pass between two visits to the window
  // (bar, pump, Cancel). A window whose pump looks at the queue only every few milliseconds
  // gains nothing from tens of millions of visits a page, and costs the walk more than the walk
  // itself; 1 visits every pixel.
  virtual int PixelsPerVisit() const { return 1; }

 protected:
  ~ProgressSink() = default;
};

}  // namespace orla
