#include "browser/ruffle_player_page.h"

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
  var marker = '__tomeric_flash__:';
  var tell = function (what, a, b) {
    window.prompt(marker + what, JSON.stringify([String(a === undefined ? '' : a), String(b === undefined ? '' : b)]));
  };
  var hideOverlays = function (player) {
    if (!player.shadowRoot) return;
    var style = document.createElement('style');
    style.textContent = '#play-button, #unmute-overlay, #splash-screen { display: none !important; }';
    player.shadowRoot.appendChild(style);
  };
  var player = null, config = null, rewinding = false;
  var start = function (settings) {
    var stage = document.getElementById('stage');
    stage.textContent = '';
    player = window.RufflePlayer.newest().createPlayer();
    stage.appendChild(player);
    hideOverlays(player);
    player.onFSCommand = function (command, args) { tell('fscommand', command, args); return true; };
    player.addEventListener('loadedmetadata', function () {
      if (rewinding) { rewinding = false; return; }
      var frames = player.metadata ? player.metadata.numFrames : 0;
      tell('ready', frames);
    });
    player.load(settings).catch(function (error) { tell('failed', error && error.message ? error.message : error); });
  };
  window.tomericFlash = {
    load: function (settings) { config = settings; rewinding = false; start(settings); },
    play: function () { if (player) player.play(); },
    pause: function () { if (player) player.pause(); },
    // Ruffle cannot go to a frame: the movie starts over, stopped.
    rewind: function () {
      if (!config) return;
      rewinding = true;
      start(Object.assign({}, config, {autoplay: 'off'}));
    }
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
    return QByteArray(kPageStart) + kFetchThroughXhr + kController + kPageEnd;
}

} // namespace tomeric
