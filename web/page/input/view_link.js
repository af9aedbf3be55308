// A link to the view: the page's address carries the keys delivered so far
// (#keys=Left*12~o*54~+*3, in the snapshot tool's key language), kept
// current once the keys pause, without adding history entries. Opening
// such a link replays the keys through the program's callbacks, so the
// person it is sent to sees the sender's picture; house-snapshot --keys
// draws it from the same text.
import { deliveredKeyText, onKeysDelivered, openKeys } from './keys.js';
import { withCommas } from '../numbers.js';

const kPrefix = '#keys=';
// Past this length a link may be cut short by the programs it passes
// through; the page says so rather than make one.
export const kLongestLink = 4000;
const kAddressUpdateMs = 250;
// Characters an address carries as they are; any other is escaped.
const kPlainInAddress = /[A-Za-z0-9~*+\-_.!$&'()/,;=:@?]/;

function addressText(keys) {
  return [...keys].map((c) => (kPlainInAddress.test(c) ? c : encodeURIComponent(c))).join('');
}

// The presses a link's fragment asks for, read by the running program, or
// an Error saying what could not be read. An empty array when the address
// carries no keys.
function keysFromFragment(program, fragment) {
  if (!fragment.startsWith(kPrefix)) return [];
  const text = fragment.slice(kPrefix.length);
  if (text.length > kLongestLink) {
    return new Error(`the keys are ${withCommas(text.length)} characters long, ` +
      `more than the ${withCommas(kLongestLink)} a link to a view holds`);
  }
  try {
    return program.parseKeys(decodeURIComponent(text));
  } catch (error) {
    return new Error(error instanceof URIError ? 'the keys are not properly escaped' : error.message);
  }
}

export function startViewLink(program, { copyButton, status, linkBox, linkText }) {
  let pending = null;

  function say(text) {
    status.textContent = text;
  }

  // The address's keys, or null where there are more than a link may
  // carry.
  function linkKeys() {
    const keys = deliveredKeyText('~');
    return keys === null ? null : addressText(keys);
  }

  function updateAddress() {
    pending = null;
    const keys = linkKeys();
    const url = new URL(location.href);
    if (keys === null || keys.length > kLongestLink) {
      url.hash = '';
      const most = withCommas(kLongestLink);
      const size = keys === null ? `more than ${most} characters` : `${withCommas(keys.length)} characters, at most ${most}`;
      say(`This view took too many steps for a link (${size}), so the address shows the page without them.`);
      copyButton.disabled = true;
      linkBox.hidden = true;
    } else {
      url.hash = keys ? `keys=${keys}` : '';
      say('');
      copyButton.disabled = false;
    }
    // An empty fragment is dropped with its "#".
    const href = url.hash ? url.href : url.href.replace(/#$/, '');
    if (href !== location.href) history.replaceState(history.state, '', href);
  }

  // The address now, not once the keys have paused.
  function flushAddress() {
    if (pending === null) return;
    clearTimeout(pending);
    updateAddress();
  }

  // Once the keys have paused: the address follows the view at rest, so a
  // drag or a held button, which deliver keys all the while, never waits
  // on the browser changing it (on a slow phone, some 50 ms each time).
  onKeysDelivered(() => {
    clearTimeout(pending);
    pending = setTimeout(updateAddress, kAddressUpdateMs);
  });
  // A reload, or a tab closed and reopened, comes back to the view with
  // every key, also those of the last moment.
  window.addEventListener('beforeunload', flushAddress);
  window.addEventListener('pagehide', flushAddress);

  // The link's keys come before any made while the program was arriving.
  program.whenStarted(() => {
    const presses = keysFromFragment(program, location.hash);
    if (presses instanceof Error) {
      say(`The link's keys could not be read: ${presses.message}. The picture shows the first view.`);
    }
    openKeys(presses instanceof Error ? [] : presses);
  });

  // Another link pasted into the address bar of this tab changes only the
  // fragment, which loads nothing: start again from it. (The page's own
  // changes of the address fire no hashchange.)
  window.addEventListener('hashchange', () => location.reload());

  copyButton.addEventListener('click', async () => {
    flushAddress();
    linkText.value = location.href;
    try {
      await navigator.clipboard.writeText(location.href);
      linkBox.hidden = true;
      say('Link copied.');
    } catch {
      // Where the browser keeps the clipboard to itself, the person copies.
      linkBox.hidden = false;
      linkText.select();
      say('Copy the link from the box.');
    }
  });
}
