#include "browser/ruffle_player_page.h"

#include "browser/ruffle_movie.h"

namespace tomeric {

namespace {

// Qt WebEngine 6.4 lets fetch() reach no custom scheme, and Ruffle fetches
// its WebAssembly and the movie: those requests go through XMLHttpRequest,
// which the scheme serves, and come back as a Response.
const char* const kFetchThroughXhr = R"JS(
(function () {
  var pageFetch = window.fetch ? window.fetch.bind(window) : null;
  window.fetch = function (input, init) {
    var url = typeof input === 'string' ? input : (input && input.url) ? input.url : String(input);
    var absolute = new URL(url, document.baseURI).href;
    if (absolute.indexOf('tomeric-flash:') !== 0)
      return pageFetch(input, init);
    return new Promise(function (resolve, reject) {
      var xhr = new XMLHttpRequest();
      xhr.open('GET', absolute);
      xhr.responseType = 'arraybuffer';
      xhr.onload = function () {
        var type = xhr.getResponseHeader('Content-Type') || 'application/octet-stream';
        var status = xhr.status >= 200 && xhr.status <= 599 ? xhr.status : 200;
        var response = new Response(xhr.response, {status: status, headers: {'Content-Type': type}});
        Object.defineProperty(response, 'url', {value: absolute});
        resolve(response);
      };
      xhr.onerror = function () { reject(new TypeError('cannot load ' + absolute)); };
      xhr.send();
    });
  };
})();
)JS";

// The controller the engine drives. Ruffle's own overlays (splash, play
// button, unmute) never show: the publication decides when a movie plays.
const char* const kController = R"JS(
(function () {
  var tell = function (what, a, b) {
    window.prompt(promptMarker + what, JSON.stringify([String(a === undefined ? '' : a), String(b === undefined ? '' : b)]));
  };
  var hideOverlays = function (player) {
    if (!player.shadowRoot) return;
    var style = document.createElement('style');
    style.textContent = '#play-button, #unmute-overlay, #splash-screen { display: none !important; }';
    player.shadowRoot.appendChild(style);
  };
  // A movie shown stopped on its first frame has not played to its end,
  // even when that frame is its last: its end counts once it plays.
  var player = null, config = null, endCounts = false, stopPending = false;
  // The notice arrives while Ruffle runs the frame, which cannot pause
  // itself from inside: the pause follows at once after it.
  var stopOnFirstFrame = function () {
    if (!stopPending) return;
    stopPending = false;
    var current = player;
    setTimeout(function () { if (player === current) current.pause(); }, 0);
  };
  // Movies the player could not prepare say nothing of their first frame:
  // they stop a little after loading.
  var stopSoonAfterLoading = function (metadata) {
    var rate = metadata && metadata.frameRate > 0 ? metadata.frameRate : 12;
    var current = player;
    setTimeout(function () { if (player === current) stopOnFirstFrame(); }, Math.max(400, 1500 / rate));
  };
  // `report`: tell the engine when the movie is ready (not for a rewind).
  var start = function (settings, stopped, report) {
    var stage = document.getElementById('stage');
    stage.textContent = '';
    player = window.RufflePlayer.newest().createPlayer();
    stage.appendChild(player);
    hideOverlays(player);
    endCounts = !stopped;
    stopPending = stopped;
    player.onFSCommand = function (command, args) {
      if (command === firstFrameCommand)
        stopOnFirstFrame();
      else if (command === movieEndCommand) {
        if (endCounts) tell('end');
      } else
        tell('fscommand', command, args);
      return true;
    };
    var loaded = player;
    player.addEventListener('loadedmetadata', function () {
      var metadata = loaded.metadata;
      if (stopped) stopSoonAfterLoading(metadata);
      if (report) tell('ready', metadata ? metadata.numFrames : 0);
    });
    player.load(Object.assign({}, settings, {autoplay: 'on'}))
      .catch(function (error) { tell('failed', error && error.message ? error.message : error); });
  };
  window.tomericFlash = {
    load: function (settings, stopped) { config = settings; start(settings, stopped, true); },
    play: function () { if (player) { endCounts = true; stopPending = false; player.play(); } },
    pause: function () { if (player) player.pause(); },
    // Ruffle cannot go to a frame: the movie starts over and stops.
    rewind: function () { if (config) start(config, true, false); }
  };
  window.addEventListener('error', function (event) { tell('failed', event.message); });
})();
)JS";

const char* const kPageStart = R"HTML(<!DOCTYPE html>
<html><head><meta charset="utf-8">
<style>
html, body { margin: 0; padding: 0; width: 100%; height: 100%; overflow: hidden; background: transparent; }
#stage, #stage > * { display: block; width: 100%; height: 100%; }
</style>
<script>
)HTML";

const char* const kPageEnd = R"HTML(
window.RufflePlayer = window.RufflePlayer || {};
window.RufflePlayer.config = {publicPath: 'tomeric-flash://player/ruffle/', polyfills: false};
</script>
<script src="ruffle/ruffle.js"></script>
</head><body><div id="stage"></div></body></html>
)HTML";

} // namespace

QByteArray RufflePlayerPage()
{
    const QByteArray commands = QByteArray("var promptMarker = '") + kRufflePromptMarker + "', movieEndCommand = '" +
                                kMovieEndCommand + "', firstFrameCommand = '" + kMovieFirstFrameCommand + "';\n";
    return QByteArray(kPageStart) + kFetchThroughXhr + commands + kController + kPageEnd;
}

} // namespace tomeric
