// Plays a video file in headless Chromium and prints how it ended:
// "ended at T of D" when it played to its end, "error CODE MESSAGE" when the
// browser could not decode it. Usage: node --experimental-websocket play_in_chromium.js CHROMIUM FILE
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const [chromium, file] = process.argv.slice(2);
const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'play-'));
const page = path.join(folder, 'page.html');
fs.writeFileSync(page, `<!DOCTYPE html><html><body>
<video id="v" muted autoplay src="${new URL('file://' + path.resolve(file)).href}"></video>
<script>
const v = document.getElementById('v');
window.outcome = new Promise(done => {
  v.addEventListener('ended', () => done('ended at ' + v.currentTime.toFixed(2) + ' of ' + v.duration.toFixed(2)));
  v.addEventListener('error', () => done('error ' + (v.error ? v.error.code + ' ' + v.error.message : '')));
});
</script></body></html>`);

const browser = spawn(chromium, ['--headless=new', '--no-sandbox', '--disable-gpu', '--remote-debugging-port=0',
  '--autoplay-policy=no-user-gesture-required', '--allow-file-access-from-files', '--user-data-dir=' + folder,
  'file://' + page], { stdio: ['ignore', 'ignore', 'pipe'] });
const finish = (text, status) => {
  console.log(text);
  browser.on('exit', () => {
    fs.rmSync(folder, { recursive: true, force: true });
    process.exit(status);
  });
  browser.kill();
};
setTimeout(() => finish('no outcome within 60 s', 1), 60000);

// The page may still be loading when it is reached.
const WAIT_FOR_OUTCOME = `new Promise(done => {
  const poll = () => (window.outcome ? window.outcome.then(done) : setTimeout(poll, 50));
  poll();
})`;

// Chromium names its debugging address on standard error; the page is its first target.
let said = '';
browser.stderr.on('data', async chunk => {
  said += chunk;
  const match = said.match(/DevTools listening on (ws:\/\/[^\s]+)/);
  if (!match || browser.connected) return;
  browser.connected = true;
  const port = new URL(match[1]).port;
  let target;
  while (!target) {
    const targets = await (await fetch(`http://127.0.0.1:${port}/json`)).json();
    target = targets.find(t => t.type === 'page' && t.url.endsWith('page.html'));
    if (!target) await new Promise(r => setTimeout(r, 200));
  }
  const socket = new WebSocket(target.webSocketDebuggerUrl);
  socket.onopen = () => socket.send(JSON.stringify({ id: 1, method: 'Runtime.evaluate',
    params: { expression: WAIT_FOR_OUTCOME, awaitPromise: true, returnByValue: true } }));
  socket.onmessage = event => {
    const reply = JSON.parse(event.data);
    if (reply.id !== 1) return;
    const text = reply.result && reply.result.result ? String(reply.result.result.value) : JSON.stringify(reply);
    finish(text, text.startsWith('ended') ? 0 : 1);
  };
});
