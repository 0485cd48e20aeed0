// Talks to the shell when the page runs inside it, and stays quiet in a plain browser.
(function () {
  function host() {
    try {
      return window.external && window.external.isNative && window.external.isNative() ? window.external : null;
    } catch (e) {
      return null;
    }
  }

  function refresh() {
    var h = host(), status = document.getElementById("host-status"), button = document.getElementById("fullscreen");
    if (!h) return;
    var full = h.isFullscreen();
    if (button) button.textContent = full ? "창 모드 · Window" : "전체 화면 · Full screen";
    if (status) status.textContent = full ? "전체 화면 · full screen" : "";
  }

  // The shell calls this after Esc has ended full-screen mode.
  window._exitFullscreen = function () { refresh(); };

  document.addEventListener("DOMContentLoaded", function () {
    var h = host();
    if (!h) return;
    document.body.className += " in-shell";
    document.getElementById("fullscreen").onclick = function () {
      if (h.isFullscreen()) h.exitFullscreen(); else h.requestFullscreen();
      refresh();
    };
    document.getElementById("close").onclick = function () { h.appExit(); };
    refresh();
  });
})();
