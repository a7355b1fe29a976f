#include "game/movie/movie_session.h"

#include <memory>
#include <utility>

#include "display/graphics.h"
#include "draw2d/draw_digest.h"
#include "game/cursor_math.h"
#include "game/movie/movie_writer.h"
#include "game/movie/session_digest.h"
#include "game/stage_machine.h"
#include "game/state.h"
#include "system/polled_input.h"

namespace {

FrameInput ToOffsets(FrameInput input) {
  input.pointer_x -= kScreenCentreX;
  input.pointer_y -= kScreenCentreY;
  return input;
}

FrameInput FromOffsets(FrameInput input) {
  input.pointer_x += kScreenCentreX;
  input.pointer_y += kScreenCentreY;
  return input;
}

MovieCheck CheckNow(int64_t frame) { return MovieCheck{frame, g.stage, SessionDigest()}; }

// The hooks a session adds, and their removal.
class Session {
 public:
  virtual ~Session() {
    StopDrawDigest();
    SetFrameInputFilter(nullptr);
    StageChangeHooks().Remove(_stage_hook);
    EndProgramHooks().Remove(_end_hook);
  }

 protected:
  void Listen() {
    StartDrawDigest();
    SetFrameInputFilter([this](FrameInput& input) {
      ++_frames;
      OnFrame(input);
    });
    _stage_hook = StageChangeHooks().Add([this](const StageChange&) { OnCheck(); }, 0);
    _end_hook = EndProgramHooks().Add([this](const int& status) { OnEnd(status); }, 0);
  }
  virtual void OnFrame(FrameInput& input) = 0;  // after _frames counts the frame
  virtual void OnCheck() = 0;                   // a hand-over, or the frame's periodic check
  virtual void OnEnd(int status) = 0;
  int64_t _frames = 0;

 private:
  int _stage_hook = 0;
  int _end_hook = 0;
};

class Recording : public Session {
 public:
  explicit Recording(MovieWriter* writer) : _writer(writer) { Listen(); }

 protected:
  void OnFrame(FrameInput& input) override {
    _writer->Frame(ToOffsets(input));
    if (_frames % kMovieCheckEvery == 0) OnCheck();
  }
  void OnCheck() override { _writer->Check(CheckNow(_frames)); }
  void OnEnd(int status) override { _writer->End(_frames, status); }

 private:
  MovieWriter* _writer;
};

class Replay : public Session {
 public:
  Replay(const Movie& movie, std::function<void(int64_t, int)> out_of_step)
      : _movie(movie), _out_of_step(std::move(out_of_step)) {
    Listen();
  }
  bool finished() const { return _next == _movie.items.size() && _still_left == 0; }

 private:
  void OnFrame(FrameInput& input) override {
    const int live_escapes = input.escapes;
    if (!NextInput(input)) {
      if (_movie.end) OutOfStep();  // the recorded session had ended by now
      EndProgram(0);                // cut short: the movie plays to where it stops
    }
    input.escapes += live_escapes;
    if (live_escapes > 0) _ended_by_hand = true;
    if (_frames % kMovieCheckEvery == 0) OnCheck();
  }

  void OnCheck() override {
    if (finished() && !_movie.end) EndProgram(0);  // cut short just before this check
    const MovieCheck now = CheckNow(_frames);
    if (_still_left > 0 || _next >= _movie.items.size() ||
        _movie.items[_next].kind != MovieItem::Kind::kCheck || !(_movie.items[_next].check == now)) {
      OutOfStep();
    }
    ++_next;
  }

  void OnEnd(int status) override {
    if (_failed || _ended_by_hand) return;
    // A movie cut short ends where its input does; a whole one where and how the session did.
    if (!finished() || (_movie.end && (_movie.end->frame != _frames || _movie.end->status != status))) {
      OutOfStep();
    }
  }

  // The frame's input from the movie, as absolute pointer coordinates; false when none is left.
  bool NextInput(FrameInput& input) {
    if (_still_left == 0 && _next < _movie.items.size()) {
      const MovieItem& item = _movie.items[_next];
      if (item.kind == MovieItem::Kind::kCheck) OutOfStep();  // the recorded run checked here
      ++_next;
      if (item.kind == MovieItem::Kind::kStill) {
        _still_left = item.still;
      } else {
        input = FromOffsets(item.input);
        return true;
      }
    }
    if (_still_left == 0) return false;
    --_still_left;
    input = FromOffsets(FrameInput{});
    return true;
  }

  void OutOfStep() {
    if (_failed) return;
    _failed = true;
    _out_of_step(_frames, g.stage);
  }

  const Movie& _movie;
  std::function<void(int64_t, int)> _out_of_step;
  size_t _next = 0;         // the next item of the movie
  int64_t _still_left = 0;  // frames left of the still run being played
  bool _ended_by_hand = false;
  bool _failed = false;
};

class Rerecording : public Recording {
 public:
  Rerecording(const Movie& movie, MovieWriter* writer) : Recording(writer), _movie(movie) {}

 private:
  void OnFrame(FrameInput& input) override {
    // The movie's next frame of input; its checks are the old code's and are passed over.
    while (_still_left == 0) {
      if (_next >= _movie.items.size()) EndProgram(0);
      const MovieItem& item = _movie.items[_next++];
      if (item.kind == MovieItem::Kind::kStill) _still_left = item.still;
      if (item.kind == MovieItem::Kind::kInput) {
        input = FromOffsets(item.input);
        return Recording::OnFrame(input);
      }
    }
    --_still_left;
    input = FromOffsets(FrameInput{});
    Recording::OnFrame(input);
  }

  const Movie& _movie;
  size_t _next = 0;
  int64_t _still_left = 0;
};

std::unique_ptr<Session> session;
Replay* replay = nullptr;

}  // namespace

void RecordSession(MovieWriter* writer) {
  EndMovieSession();
  session = std::make_unique<Recording>(writer);
}

void ReplaySession(const Movie& movie, std::function<void(int64_t, int)> out_of_step) {
  EndMovieSession();
  auto r = std::make_unique<Replay>(movie, std::move(out_of_step));
  replay = r.get();
  session = std::move(r);
}

void RerecordSession(const Movie& movie, MovieWriter* writer) {
  EndMovieSession();
  session = std::make_unique<Rerecording>(movie, writer);
}

bool ReplayFinished() { return replay && replay->finished(); }

void EndMovieSession() {
  replay = nullptr;
  session.reset();
}
