#pragma once
// Ruffle tells a page nothing of a movie's frames: not when the first one
// has shown (a movie that starts stopped must stop there), nor when the
// last one has (a movie that plays once must stop there and report its
// end); and it always loops the main timeline. So before serving a movie
// the player adds an action to its first frame that sends
// kMovieFirstFrameCommand and, for a movie that plays once, one to its last
// frame that sends kMovieEndCommand and stops; the page recognises both.
// Movies of the ActionScript 3 kind, compressed with LZMA, or too damaged to
// read are served unchanged.

#include <QByteArray>

namespace tomeric {

// The fscommands the added actions send.
inline constexpr char kMovieFirstFrameCommand[] = "__tomeric_first_frame__";
inline constexpr char kMovieEndCommand[] = "__tomeric_movie_end__";

// The movie with those actions added (an uncompressed movie); the movie
// itself when it cannot be changed.
QByteArray PreparedMovie(const QByteArray& movie, bool playOnce);

} // namespace tomeric
