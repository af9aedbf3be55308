// Run before the page is first painted, as a classic script in the head (a
// module would run after): an address with a link's keys names a view
// other than the starting one, so the poster of the starting view is not
// shown, not even for a moment. The stage stays empty, with the loading
// bar, until the program draws the view the link names.
if (/^#keys=./.test(location.hash)) document.documentElement.classList.add('linked-view');
