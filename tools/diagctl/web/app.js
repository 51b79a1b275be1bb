// The dashboard page: fetches the JSON endpoints, redraws on every change the
// event stream announces, and never writes anything back.
'use strict';

const SVG_NS = 'http://www.w3.org/2000/svg';
const RECORDS_REFRESH_MS = 3000;
const FALLBACK_POLL_MS = 5000;
const LANE_LABEL_CHARS = 28;  // what fits left of the timeline

// An element with attributes and children; text always goes in as text.
function el(tag, attrs = {}, ...children) {
  const node = document.createElement(tag);
  for (const [name, value] of Object.entries(attrs)) {
    if (name === 'class') node.className = value;
    else node.setAttribute(name, value);
  }
  for (const child of children) {
    node.append(child instanceof Node ? child : String(child));
  }
  return node;
}

function svg(tag, attrs = {}, text) {
  const node = document.createElementNS(SVG_NS, tag);
  for (const [name, value] of Object.entries(attrs)) node.setAttribute(name, value);
  if (text !== undefined) node.textContent = text;
  return node;
}

async function getJson(url) {
  const response = await fetch(url, {cache: 'no-store'});
  let body = {};
  try {
    body = await response.json();
  } catch (e) {
    body = {error: `${response.status} ${response.statusText}`};
  }
  return {ok: response.ok, status: response.status, body};
}

function localTime(iso) {
  const date = new Date(iso);
  return Number.isNaN(date.getTime()) ? iso : date.toLocaleTimeString([], {hour12: false}) +
      '.' + String(date.getMilliseconds()).padStart(3, '0');
}

function formatAge(seconds) {
  if (seconds < 0) return `${seconds.toFixed(1)} s`;
  if (seconds < 60) return `${seconds.toFixed(1)} s`;
  if (seconds < 3600) return `${Math.floor(seconds / 60)} min ${Math.floor(seconds % 60)} s`;
  return `${Math.floor(seconds / 3600)} h ${Math.floor((seconds % 3600) / 60)} min`;
}

// ---- live part: tree, current failures, exception-handle requests ----

let treeFetchedAt = 0;

function treeNode(failure) {
  const age = el('span', {class: 'age', 'data-age': failure.age_s}, formatAge(failure.age_s));
  const meta = [failure.module || 'no module', `raised ${localTime(failure.raised_at)}`];
  if (failure.event_msg) meta.push(failure.event_msg);
  const card = el('div', {class: 'card'},
      el('span', {class: 'id'}, failure.fault_id),
      el('span', {class: 'desc', title: failure.description}, failure.description || '(no description)'),
      age,
      el('span', {class: 'meta'}, meta.join(' \u00b7 ')));
  const node = el('div', {class: 'node', 'data-fault-id': failure.fault_id, 'data-level': failure.level}, card);
  if (failure.children.length > 0) {
    node.append(el('div', {class: 'children'}, ...failure.children.map(treeNode)));
  }
  return node;
}

function renderTree(result) {
  const tree = document.getElementById('tree');
  const summary = document.getElementById('summary');
  if (!result.ok) {
    tree.dataset.state = 'waiting';
    tree.replaceChildren(el('p', {class: 'empty'}, result.body.error || 'No diagnosis tree received yet.'));
    summary.textContent = 'waiting for the node\u2026';
    return;
  }
  const doc = result.body;
  treeFetchedAt = Date.now();
  tree.dataset.state = 'ready';
  tree.dataset.rootCauses = doc.root_causes;
  tree.dataset.consequences = doc.consequences;
  tree.replaceChildren(...(doc.failures.length > 0 ? doc.failures.map(treeNode) :
      [el('p', {class: 'empty'}, 'No current failures.')]));
  summary.textContent = `${doc.root_causes} root cause${doc.root_causes === 1 ? '' : 's'}, ` +
      `${doc.consequences} consequence${doc.consequences === 1 ? '' : 's'} \u00b7 tree of ${localTime(doc.stamp)}`;
}

function tickAges() {
  const elapsed = (Date.now() - treeFetchedAt) / 1000;
  for (const age of document.querySelectorAll('#tree .age')) {
    age.textContent = formatAge(Number(age.dataset.age) + elapsed);
  }
}

function renderCurrent(result) {
  const list = document.getElementById('current');
  const doc = result.body;
  document.getElementById('current-stamp').textContent =
      doc.received_at ? `received ${localTime(doc.received_at)}` : '';
  const stale = document.getElementById('stale');
  stale.hidden = !doc.stale_since;
  stale.textContent = doc.stale_since ?
      `Stale since ${localTime(doc.stale_since)}: the centre stopped publishing current_failure; ` +
      'what is shown is the last heard, not current.' : '';
  document.body.dataset.stale = doc.stale_since ? 'true' : 'false';
  if (!doc.received_at) return;
  list.replaceChildren(...(doc.failures.length > 0 ? doc.failures.map((failure) =>
      el('li', {'data-fault-id': failure.fault_id},
          el('span', {class: 'time'}, ''),
          el('span', {class: 'id'}, failure.fault_id),
          el('span', {title: failure.description || ''}, failure.description || ''),
          el('span', {class: 'module', title: failure.module || ''}, failure.module || ''))) :
      [el('li', {class: 'empty'}, 'No current failures.')]));
}

function renderExceptions(result) {
  const list = document.getElementById('exceptions');
  const items = result.body.exceptions || [];
  list.replaceChildren(...(items.length > 0 ? items.map((request) =>
      el('li', {'data-fault-id': request.fault_id},
          el('span', {class: 'time'}, localTime(request.received_at)),
          el('span', {class: 'id'}, request.fault_id),
          el('span', {title: request.description || ''}, request.description || ''),
          el('span', {}, ''))) :
      [el('li', {class: 'empty'}, 'None received.')]));
}

// ---- fleet mode (diagctl dashboard --fleet): a table of robots; the live
// part above shows the robot picked in it, through the same documents ----

const FLEET_POLL_MS = 1000;
let fleetMode = false;
let fleetRobot = null;  // {domain, ns} of the robot the live part shows

// A live document: the node's, or in fleet mode the picked robot's.
function liveUrl(name) {
  if (!fleetMode) return `/api/${name}`;
  return `/api/robot/${name}?domain=${fleetRobot.domain}&ns=${encodeURIComponent(fleetRobot.ns)}`;
}

function fleetAge(since, now) {
  const seconds = Math.max(0, Math.floor(now - since));
  if (seconds < 60) return `${seconds}s`;
  if (seconds < 3600) return `${Math.floor(seconds / 60)}m`;
  if (seconds < 86400) return `${Math.floor(seconds / 3600)}h`;
  return `${Math.floor(seconds / 86400)}d`;
}

function pickRobot(robot) {
  fleetRobot = {domain: robot.domain, ns: robot.namespace};
  history.replaceState(null, '', `#domain=${robot.domain}&ns=${encodeURIComponent(robot.namespace)}`);
  document.getElementById('fleet-robot').textContent = `${robot.namespace} (domain ${robot.domain})`;
  for (const row of document.querySelectorAll('#fleet-table tbody tr')) {
    row.classList.toggle('picked', row.dataset.robot === robot.namespace &&
        Number(row.dataset.domain) === robot.domain);
  }
  scheduleRefresh();
}

function renderFleet(doc) {
  const rows = doc.robots.map((robot) => {
    const raise = robot.newest_raise;
    const row = el('tr', {'data-robot': robot.namespace, 'data-domain': robot.domain, 'data-state': robot.state},
        el('td', {}, robot.namespace), el('td', {}, robot.domain),
        el('td', {class: 'state'}, robot.state), el('td', {}, fleetAge(robot.state_since, doc.time)),
        el('td', {}, robot.root_causes), el('td', {}, robot.consequences),
        el('td', {}, raise ? `${raise.fault_id} ${raise.description} ${fleetAge(0, raise.age_s)}` : '-'),
        el('td', {}, robot.robot_status), el('td', {}, robot.exception_handles_per_minute.toFixed(1)));
    if (fleetRobot && fleetRobot.ns === robot.namespace && fleetRobot.domain === robot.domain) {
      row.classList.add('picked');
    }
    row.addEventListener('click', () => pickRobot(robot));
    return row;
  });
  const body = document.querySelector('#fleet-table tbody');
  body.replaceChildren(...(rows.length > 0 ? rows :
      [el('tr', {}, el('td', {colspan: 9, class: 'empty'}, 'No diagnosis centre found yet.'))]));
  document.getElementById('fleet-stamp').textContent = `${doc.robots.length} robot(s)`;
}

async function refreshFleet() {
  const result = await getJson('/api/fleet');
  if (result.ok) renderFleet(result.body);
}

// Whether the server serves a fleet; switches the page to it then.
async function startFleetMode() {
  let result;
  try {
    result = await getJson('/api/fleet');
  } catch (e) {
    return false;
  }
  if (!result.ok) return false;
  fleetMode = true;
  document.body.dataset.mode = 'fleet';
  document.getElementById('fleet-panel').hidden = false;
  document.getElementById('records-panel').hidden = true;
  document.getElementById('summary').textContent = 'fleet: pick a robot to see its tree';
  document.getElementById('tree').replaceChildren(
      el('p', {class: 'empty'}, 'Pick a robot in the table above.'));
  renderFleet(result.body);
  // A link may name the robot: #domain=0&ns=/robot1.
  const named = new URLSearchParams(location.hash.slice(1));
  const robot = result.body.robots.find((r) =>
      r.namespace === named.get('ns') && String(r.domain) === named.get('domain'));
  if (robot) pickRobot(robot);
  setInterval(() => refreshFleet().catch(() => setConnection('lost')), FLEET_POLL_MS);
  // Each robot's documents change without the server's event stream.
  setInterval(scheduleRefresh, FLEET_POLL_MS);
  return true;
}

async function refreshLive() {
  if (fleetMode && !fleetRobot) return;
  const [tree, current, exceptions] = await Promise.all(
      ['tree', 'current', 'exceptions'].map((name) => getJson(liveUrl(name))));
  renderTree(tree);
  renderCurrent(current);
  renderExceptions(exceptions);
}

// One refresh at a time; changes during one cause exactly one more.
let refreshing = false;
let refreshAgain = false;
function scheduleRefresh() {
  if (refreshing) {
    refreshAgain = true;
    return;
  }
  refreshing = true;
  refreshLive().catch(() => setConnection('lost')).finally(() => {
    refreshing = false;
    if (refreshAgain) {
      refreshAgain = false;
      scheduleRefresh();
    }
  });
}

function setConnection(state) {
  const badge = document.getElementById('connection');
  badge.dataset.state = state;
  badge.textContent = {live: 'live', lost: 'connection lost, retrying', connecting: 'connecting'}[state];
}

function followEvents() {
  const events = new EventSource('/api/events');
  events.addEventListener('change', scheduleRefresh);
  events.onopen = () => {
    setConnection('live');
    scheduleRefresh();
  };
  events.onerror = () => setConnection('lost');  // EventSource reconnects by itself
}

// ---- fault records: filters, timeline, table ----

function recordsQuery(form) {
  const params = new URLSearchParams();
  const id = form.elements.id.value.replace(/\s+/g, '');
  if (id) params.set('id', id);
  if (form.elements.status.value) params.set('status', form.elements.status.value);
  for (const name of ['since', 'until']) {
    let value = form.elements[name].value;  // "YYYY-MM-DDTHH:MM[:SS]"
    if (value.length === 16) value += ':00';
    if (value) params.set(name, value);
  }
  return params;
}

function renderTimeline(records, windowChoice) {
  const host = document.getElementById('timeline');
  const timed = records.filter((record) => record.epoch_s !== null);
  let end = Date.now() / 1000;
  let start = end - Number(windowChoice);
  if (windowChoice === 'all') {
    if (timed.length === 0) {
      host.replaceChildren();
      return;
    }
    start = Math.min(...timed.map((r) => r.epoch_s));
    end = Math.max(...timed.map((r) => r.epoch_s));
    const pad = Math.max(1, (end - start) * 0.02);
    start -= pad;
    end += pad;
  }
  const shown = timed.filter((r) => r.epoch_s >= start && r.epoch_s <= end);
  const lane = (record) => record.module || `fault ${record.fault_id}`;
  const lanes = [...new Set(shown.map(lane))].sort();
  const left = 170, right = 16, top = 8, laneHeight = 22, axisHeight = 20;
  const width = Math.max(host.clientWidth, 600);
  const height = top + Math.max(lanes.length, 1) * laneHeight + axisHeight;
  const x = (t) => left + (t - start) / (end - start) * (width - left - right);
  const chart = svg('svg', {viewBox: `0 0 ${width} ${height}`, height, role: 'img',
    'aria-label': 'raises and clears per module'});
  const ticks = 6;
  // Ticks closer than a second apart would repeat the same label: show tenths.
  const tickFormat = (end - start) / ticks < 1
      ? {hour: '2-digit', minute: '2-digit', second: '2-digit', fractionalSecondDigits: 1,
         hour12: false}
      : {hour12: false};
  for (let i = 0; i <= ticks; ++i) {
    const t = start + (end - start) * i / ticks;
    chart.append(svg('line', {class: 'grid', x1: x(t), x2: x(t), y1: top, y2: height - axisHeight}));
    const label = new Date(t * 1000).toLocaleTimeString([], tickFormat);
    const anchor = i === 0 ? 'start' : i === ticks ? 'end' : 'middle';
    chart.append(svg('text', {class: 'axis', x: x(t), y: height - 6, 'text-anchor': anchor}, label));
  }
  if (lanes.length === 0) {
    chart.append(svg('text', {class: 'lane-label', x: left, y: top + 15}, 'no raises or clears in this window'));
  }
  lanes.forEach((name, i) => {
    const y = top + i * laneHeight + laneHeight / 2;
    const label = svg('text', {class: 'lane-label', x: 4, y: y + 4},
        name.length > LANE_LABEL_CHARS ? name.slice(0, LANE_LABEL_CHARS - 1) + '\u2026' : name);
    label.append(svg('title', {}, name));
    chart.append(label);
    chart.append(svg('line', {class: 'grid', x1: left, x2: width - right, y1: y, y2: y}));
  });
  for (const record of shown) {
    const y = top + lanes.indexOf(lane(record)) * laneHeight + laneHeight / 2;
    const cx = x(record.epoch_s);
    const raise = record.status === 'fault';
    // Raises point up, clears down.
    const points = raise ? `${cx - 5},${y + 4} ${cx + 5},${y + 4} ${cx},${y - 6}` :
                           `${cx - 5},${y - 4} ${cx + 5},${y - 4} ${cx},${y + 6}`;
    const mark = svg('polygon', {class: raise ? 'raise' : 'clear', points});
    mark.append(svg('title', {}, `${record.time} ${record.fault_id} ${raise ? 'raised' : 'cleared'}`));
    chart.append(mark);
  }
  host.replaceChildren(chart);
}

function renderRecordTable(records) {
  const body = document.querySelector('#records-table tbody');
  body.replaceChildren(...records.map((record) =>
      el('tr', {'data-fault-id': record.fault_id, 'data-status': record.status},
          el('td', {class: 'time'}, record.time),
          el('td', {class: 'id'}, record.fault_id),
          el('td', {class: 'status'}, record.status),
          el('td', {}, record.description),
          el('td', {}, record.message + (record.truncated ? ' [truncated]' : '')),
          el('td', {}, record.module || ''))));
}

let lastRecords = [];
// One records request at a time: a refresh due while one is under way is
// skipped; a new filter submitted meanwhile is asked for once it is done.
let recordsInFlight = false;
let recordsWanted = false;

async function loadRecords(wanted = false) {
  if (recordsInFlight) {
    recordsWanted = recordsWanted || wanted;
    return;
  }
  recordsInFlight = true;
  try {
    await fetchRecords();
  } finally {
    recordsInFlight = false;
  }
  if (recordsWanted) {
    recordsWanted = false;
    loadRecords();
  }
}

async function fetchRecords() {
  const form = document.getElementById('record-filter');
  const status = document.getElementById('records-status');
  let result;
  try {
    result = await getJson(`/api/records?${recordsQuery(form)}`);
  } catch (e) {
    return;  // the connection badge tells
  }
  if (!result.ok) {
    status.className = 'records-status error';
    status.textContent = result.body.error || `error ${result.status}`;
    return;
  }
  const doc = result.body;
  status.className = 'records-status';
  status.textContent = `${doc.shown} of ${doc.total} records` +
      (doc.problem_count > 0 ? ` \u00b7 ${doc.problem_count} problem(s): ${doc.problems[0]}` : '');
  lastRecords = doc.records;
  renderRecordTable(lastRecords);
  renderTimeline(lastRecords, form.elements.window.value);
}

async function start() {
  if (await startFleetMode()) {
    followEvents();
    setInterval(tickAges, 1000);
    return;
  }
  const form = document.getElementById('record-filter');
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    loadRecords(true);
  });
  form.elements.window.addEventListener('change', () => renderTimeline(lastRecords, form.elements.window.value));
  followEvents();
  scheduleRefresh();
  loadRecords();
  setInterval(tickAges, 1000);
  setInterval(() => loadRecords(), RECORDS_REFRESH_MS);     // the node writes records on its own period
  setInterval(scheduleRefresh, FALLBACK_POLL_MS);   // in case the event stream is held up
}

start();
