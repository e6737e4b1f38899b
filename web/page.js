// The quiz page: the player's two views in a browser. Every verdict, mark,
// reveal and reward code comes from the judging module (the player's own
// code); this script shows them, keeps the answers in the browser's storage
// and never inserts a quiz text as markup.
'use strict';
(function () {
  const kFigure = {questions: 0, perQuestion: 1, pictures: 3, colour: 4, blackText: 5, revealMode: 6};
  const kText = {title: 0, author: 1, explanation: 2, answerLabel: 3, reveal: 4, status: 5};
  const kVerdictMask = 0x0f, kReveal = 0x10, kHide = 0x20, kCompleted = 0x40;
  const kKindClass = ['', 'right', 'anagram', 'wrong', 'hint'];
  const kRevealNone = 0;
  const kStorageFormat = 1;

  const $ = (id) => document.getElementById(id);
  const quizData = JSON.parse($('quiz-data').textContent);
  let judging = null;
  let count = 0, perQuestion = 1, boxCount = 0;
  let current = 0;
  let gridShown = false;
  // What each box holds as typed (the page's own text, kept as typed).
  let answers = [];
  let storageKey = '';
  const single = {boxes: [], verdicts: []};
  const grid = {boxes: [], verdicts: [], reveals: []};

  function element(tag, className, text) {
    const made = document.createElement(tag);
    if (className) made.className = className;
    if (text !== undefined) made.textContent = text;
    return made;
  }

  function bytesOf(base64) {
    const text = atob(base64);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; ++i) bytes[i] = text.charCodeAt(i);
    return bytes;
  }

  function showNotice(text) {
    const notice = $('notice');
    notice.textContent = text;
    notice.hidden = false;
  }

  // Texts cross into the module as UTF-16, the page's own form.
  function readText(pointer) {
    const units = judging.HEAPU16;
    let end = pointer >> 1;
    while (units[end]) ++end;
    let text = '';
    for (let i = pointer >> 1; i < end; i += 4096)
      text += String.fromCharCode.apply(null, units.subarray(i, Math.min(end, i + 4096)));
    return text;
  }
  function withText(text, use) {
    const pointer = judging._malloc((text.length + 1) * 2);
    const units = new Uint16Array(judging.HEAPU16.buffer, pointer, text.length + 1);
    for (let i = 0; i < text.length; ++i) units[i] = text.charCodeAt(i);
    units[text.length] = 0;
    try { return use(pointer); } finally { judging._free(pointer); }
  }
  function withBytes(bytes, use) {
    const pointer = judging._malloc(bytes.length || 1);
    judging.HEAPU8.set(bytes, pointer);
    try { return use(pointer); } finally { judging._free(pointer); }
  }
  const quizText = (which, index) => readText(judging._vidod_text(which, index || 0));
  const figure = (which) => judging._vidod_figure(which);

  // The player's words when the accepted answers cannot be read.
  const kAcceptedRefused = 'Erreur dans le d\u00e9cryptage des autres r\u00e9ponses accept\u00e9es : chaque case ' +
                           'n\'accepte que sa premi\u00e8re r\u00e9ponse, sans tol\u00e9rance.';
  function loadQuiz() {
    const answersBlob = bytesOf(quizData.answers);
    const accepted = bytesOf(quizData.accepted || '');
    const codes = bytesOf(quizData.codes || '');
    const loaded = withBytes(answersBlob, (a) => withBytes(accepted, (b) => withBytes(codes, (c) =>
      judging._vidod_load(a, answersBlob.length, b, accepted.length, c, codes.length))));
    if (loaded === 1) showNotice(kAcceptedRefused);
    return loaded >= 0;
  }

  // Storage per quiz: the key is made from the quiz's own resources, so two
  // quizzes opened from one folder or platform never share their answers.
  function quizKey() {
    let hash = 0x811c9dc5;
    const text = quizData.answers + '|' + (quizData.accepted || '');
    for (let i = 0; i < text.length; ++i) hash = Math.imul(hash ^ text.charCodeAt(i), 0x01000193) >>> 0;
    return 'vidod-quiz-' + hash.toString(16);
  }
  function readStored() {
    try {
      const stored = JSON.parse(localStorage.getItem(storageKey) || 'null');
      if (stored && stored.format === kStorageFormat && Array.isArray(stored.answers)) return stored;
    } catch (error) { /* nothing kept, or storage refused: start afresh */ }
    return null;
  }
  let storageWarned = false;
  function store() {
    try {
      localStorage.setItem(storageKey, JSON.stringify(
          {format: kStorageFormat, answers: answers, current: current, grid: gridShown}));
    } catch (error) {
      if (!storageWarned) showNotice('Ce navigateur ne garde pas les r\u00e9ponses de cette page : ' +
                                     'elles seront perdues en la fermant.');
      storageWarned = true;
    }
  }

  function setAnswer(slot, text) {
    answers[slot] = text;
    withText(text, (pointer) => judging._vidod_set_answer(slot, pointer));
  }

  function showVerdict(label, result) {
    const verdict = result & kVerdictMask;
    label.textContent = readText(judging._vidod_verdict_text(verdict));
    label.className = 'verdict ' + kKindClass[judging._vidod_verdict_kind(verdict)];
    // What it judged, so that a change of the box can take it away and give it back.
    const box = $(label.id.slice(0, -'-verdict'.length));
    label.dataset.judged = box ? box.value : '';
    label.dataset.shown = label.textContent;
    label.dataset.kind = label.className;
    return label.textContent;
  }

  // While a box says something other than what was judged, no verdict stands
  // beside it: a "BRAVO" beside a right answer being changed would be a lie
  // until the box is left. Giving the judged text back gives its verdict back.
  function onBoxInput(box, label) {
    if (label.dataset.judged === undefined) return;
    const judged = box.value === label.dataset.judged;
    label.textContent = judged ? label.dataset.shown : '?';
    label.className = judged ? label.dataset.kind : 'verdict ' + kKindClass[0];
  }

  function refreshScore() {
    $('score').textContent = readText(judging._vidod_score_text()).trim();
    $('code').value = readText(judging._vidod_reward_code()).trim();
  }

  function announce(text) {
    const announcer = $('announcer');
    announcer.textContent = '';
    // A new node each time, so that the same verdict twice is said twice.
    window.setTimeout(() => { announcer.textContent = text; }, 50);
  }

  function boxName(question, answer) {
    return perQuestion === 2 ? 'R\u00e9ponse ' + (answer + 1) + ', question ' + (question + 1)
                             : 'R\u00e9ponse, question ' + (question + 1);
  }
  function captionOf(answer) {
    const label = perQuestion === 2 ? quizText(kText.answerLabel, answer).trim() : '';
    return label || (perQuestion === 2 ? 'R\u00e9ponse ' + (answer + 1) : 'R\u00e9ponse');
  }

  function makeAnswer(parent, id, caption, onJudge) {
    const row = element('div', 'answer');
    const label = element('label', '', caption);
    label.htmlFor = id;
    const box = element('input');
    box.id = id;
    box.type = 'text';
    box.maxLength = 259;
    box.autocomplete = 'off';
    box.spellcheck = false;
    box.setAttribute('autocapitalize', 'off');
    box.setAttribute('autocorrect', 'off');
    box.setAttribute('enterkeyhint', 'done');
    const verdict = element('output', 'verdict', '?');
    verdict.id = id + '-verdict';
    verdict.htmlFor = id;
    box.setAttribute('aria-describedby', verdict.id);
    row.append(label, box, verdict);
    parent.append(row);
    box.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' && !event.isComposing) {
        event.preventDefault();
        onJudge(true);
      }
    });
    // Leaving a box judges it, as in the player.
    box.addEventListener('change', () => onJudge(false));
    box.addEventListener('input', () => onBoxInput(box, verdict));
    box.addEventListener('focus', keepInSight);
    return {box: box, verdict: verdict};
  }

  // The on-screen keyboard must not hide the box being typed in: on a touch
  // screen the box is brought to the middle of what stays visible. With a
  // mouse it moves only when out of sight, so the score stays in view.
  function keepInSight() {
    const box = document.activeElement;
    if (!box || box.tagName !== 'INPUT' || box.readOnly) return;
    const touch = window.matchMedia('(pointer: coarse)').matches;
    window.setTimeout(() => {
      const place = box.getBoundingClientRect();
      if (!touch && place.top >= 0 && place.bottom <= window.innerHeight) return;
      box.scrollIntoView({block: touch ? 'center' : 'nearest', inline: 'nearest'});
    }, 300);
  }

  // The single view: one question, its picture and its box (two in quizzes
  // of two answers per question).
  function buildSingleView() {
    const parent = $('single-answers');
    for (let a = 0; a < perQuestion; ++a) {
      const made = makeAnswer(parent, 'answer-' + (a + 1), captionOf(a), (byEnter) => judgeSingle(byEnter, a));
      single.boxes.push(made.box);
      single.verdicts.push(made.verdict);
      made.box.addEventListener('keydown', onSingleKey);
    }
    const chooser = $('chooser');
    for (let n = 1; n <= count; ++n) chooser.append(element('option', '', 'Image n\u00b0' + n));
    chooser.addEventListener('change', () => goTo(chooser.selectedIndex, false));
    $('previous').addEventListener('click', () => step(-1));
    $('next').addEventListener('click', () => step(1));
  }

  function onSingleKey(event) {
    let move = 0;
    if (event.key === 'PageDown' || (event.altKey && event.key === 'ArrowRight')) move = 1;
    if (event.key === 'PageUp' || (event.altKey && event.key === 'ArrowLeft')) move = -1;
    if (!move) return;
    event.preventDefault();
    step(move);
  }

  // Judges the question shown; the second box, where there is one, with the
  // same ladder against the second answers.
  function judgeSingleQuestion() {
    const result = judging._vidod_judge_single(current);
    const said = [showVerdict(single.verdicts[0], result)];
    if (perQuestion === 2) said.push(showVerdict(single.verdicts[1], judging._vidod_judge_single_second(current)));
    $('reveal').textContent = (result & kReveal) ? quizText(kText.reveal, current) : '';
    refreshScore();
    return said;
  }

  // The verdict is said, and the score with it when the score moved.
  function announceVerdict(question, verdict, scoreBefore) {
    const score = $('score').textContent;
    announce('Question ' + (question + 1) + ' : ' + verdict + (score !== scoreBefore ? '. Score : ' + score : ''));
  }

  function judgeSingle(byEnter, answer) {
    const before = single.verdicts[answer].textContent;
    const scoreBefore = $('score').textContent;
    const changed = answers[current * perQuestion + answer] !== single.boxes[answer].value;
    takeShownAnswers();
    const said = judgeSingleQuestion();
    store();
    if (byEnter || changed || said[answer] !== before) announceVerdict(current, said[answer], scoreBefore);
  }

  function showQuestion() {
    const picture = $('picture');
    const source = quizData.pictures[current];
    if (source) {
      picture.src = source;
      picture.hidden = false;
    } else {
      picture.removeAttribute('src');
      picture.hidden = true;
    }
    picture.alt = 'Image n\u00b0' + (current + 1);
    $('chooser').selectedIndex = current;
    for (let a = 0; a < perQuestion; ++a) {
      single.boxes[a].value = answers[current * perQuestion + a];
      single.boxes[a].labels[0].textContent =
          perQuestion === 2 ? captionOf(a) + ' (question ' + (current + 1) + ')' : boxName(current, a);
    }
    judgeSingleQuestion();
  }

  function goTo(question, focusBox) {
    takeShownAnswers();
    judgeSingleQuestion();
    current = (question + count) % count;
    showQuestion();
    store();
    if (focusBox) single.boxes[0].focus();
  }
  const step = (move) => goTo(current + move, true);

  // The grid: every question with its picture, boxes, verdicts and reveal.
  function buildGrid() {
    const list = $('questions');
    const pictures = figure(kFigure.pictures) === 1;
    for (let q = 0; q < count; ++q) {
      const item = element('li', 'question');
      item.append(element('h2', '', 'Question ' + (q + 1)));
      if (pictures && quizData.pictures[q]) {
        const frame = element('div', 'picture-frame');
        const picture = element('img');
        picture.alt = 'Image n\u00b0' + (q + 1);
        picture.loading = 'lazy';
        picture.src = quizData.pictures[q];
        frame.append(picture);
        item.append(frame);
      }
      for (let a = 0; a < perQuestion; ++a) {
        const box = q * perQuestion + a;
        const made = makeAnswer(item, 'box-' + (box + 1), perQuestion === 2 ? captionOf(a) : 'R\u00e9ponse',
                                (byEnter) => judgeGridBox(box, byEnter));
        made.box.setAttribute('aria-label', boxName(q, a));
        grid.boxes.push(made.box);
        grid.verdicts.push(made.verdict);
      }
      const reveal = element('p', 'reveal');
      reveal.hidden = true;
      item.append(reveal);
      grid.reveals.push(reveal);
      list.append(item);
    }
  }

  function showReveal(question, shown) {
    if (figure(kFigure.revealMode) === kRevealNone) return;
    const reveal = grid.reveals[question];
    reveal.textContent = shown ? quizText(kText.reveal, question) : '';
    reveal.hidden = !shown || !reveal.textContent;
  }

  function judgeGridOnly(box) {
    const result = judging._vidod_judge_list(box);
    const said = showVerdict(grid.verdicts[box], result);
    const question = Math.floor(box / perQuestion);
    if (result & kReveal) showReveal(question, true);
    if (result & kHide) showReveal(question, false);
    if (result & kCompleted) for (let q = 0; q < count; ++q) showReveal(q, true);
    return said;
  }

  function judgeGridBox(box, byEnter) {
    const before = grid.verdicts[box].textContent;
    const scoreBefore = $('score').textContent;
    const changed = answers[box] !== grid.boxes[box].value;
    if (changed) setAnswer(box, grid.boxes[box].value);
    const said = judgeGridOnly(box);
    refreshScore();
    store();
    if (byEnter || changed || said !== before) announceVerdict(Math.floor(box / perQuestion), said, scoreBefore);
  }

  // Each view shows the answers as they stand and judges them by its rules,
  // as the player does when it switches.
  function showGrid() {
    for (let box = 0; box < boxCount; ++box) {
      grid.boxes[box].value = answers[box];
      judgeGridOnly(box);
    }
    refreshScore();
  }

  // What the shown view's boxes hold becomes the answers; true when a box
  // held something else.
  function takeShownAnswers() {
    const first = gridShown ? 0 : current * perQuestion;
    const boxes = gridShown ? grid.boxes : single.boxes;
    let taken = false;
    boxes.forEach((box, index) => {
      if (answers[first + index] === box.value) return;
      setAnswer(first + index, box.value);
      taken = true;
    });
    return taken;
  }

  function switchViews(focus) {
    takeShownAnswers();
    gridShown = !gridShown;
    $('single').hidden = gridShown;
    $('grid').hidden = !gridShown;
    $('switch').textContent = gridShown ? 'Une question \u00e0 la fois' : 'Toutes les questions';
    if (gridShown) showGrid(); else showQuestion();
    store();
    if (focus) (gridShown ? grid.boxes[current * perQuestion] : single.boxes[0]).focus();
  }

  function restart(confirmed) {
    $('confirm').hidden = true;
    if (!confirmed) {
      $('restart').focus();
      return;
    }
    judging._vidod_restart();
    answers = new Array(boxCount).fill('');
    for (let q = 0; q < count; ++q) showReveal(q, false);
    current = 0;
    if (gridShown) showGrid(); else showQuestion();
    store();
    announce('Toutes les r\u00e9ponses sont effac\u00e9es.');
    (gridShown ? grid.boxes[0] : single.boxes[0]).focus();
  }

  function start(module) {
    judging = module;
    if (!loadQuiz()) {
      showNotice('Ce quiz est endommag\u00e9 : ses r\u00e9ponses ne peuvent pas \u00eatre lues.');
      $('main').hidden = true;
      return;
    }
    count = figure(kFigure.questions);
    perQuestion = figure(kFigure.perQuestion);
    boxCount = count * perQuestion;
    const colour = figure(kFigure.colour);
    const root = document.documentElement.style;
    root.setProperty('--quiz', '#' + (0x1000000 + colour).toString(16).slice(1));
    root.setProperty('--on-quiz', figure(kFigure.blackText) ? '#000' : '#fff');
    const title = quizText(kText.title);
    document.title = title;
    $('title').textContent = title;
    $('author').textContent = quizText(kText.author);
    $('explanation').textContent = quizText(kText.explanation);
    $('status').textContent = quizText(kText.status);
    if (count === 0) {
      showNotice('Ce quiz n\'a aucune question.');
      $('main').hidden = true;
      return;
    }
    storageKey = quizKey();
    const stored = readStored();
    answers = new Array(boxCount).fill('');
    buildSingleView();
    buildGrid();
    // Every answer kept is judged at once, so that marks, score and code are
    // back as they were.
    for (let box = 0; box < boxCount; ++box) {
      const kept = stored && typeof stored.answers[box] === 'string' ? stored.answers[box] : '';
      setAnswer(box, kept.slice(0, 259));
    }
    if (stored && Number.isInteger(stored.current) && stored.current >= 0 && stored.current < count)
      current = stored.current;
    for (let q = 0; q < count; ++q) judging._vidod_judge_single(q);
    // Both views hold the answers before the switch below takes in the boxes
    // of the one it leaves (an empty box there would replace an answer kept).
    showGrid();
    showQuestion();
    gridShown = !(stored && stored.grid);
    switchViews(false);
    $('switch').addEventListener('click', () => switchViews(true));
    $('restart').addEventListener('click', () => {
      $('confirm').hidden = false;
      $('confirm-no').focus();
    });
    $('confirm-yes').addEventListener('click', () => restart(true));
    $('confirm-no').addEventListener('click', () => restart(false));
    $('confirm').addEventListener('keydown', (event) => { if (event.key === 'Escape') restart(false); });
    document.addEventListener('keydown', (event) => {
      if (event.key === 'F3') {
        event.preventDefault();
        switchViews(true);
      }
    });
    if (window.visualViewport) window.visualViewport.addEventListener('resize', keepInSight);
    // An answer typed but not yet judged is kept when the page is left, as
    // the player saves its box on closing; it is judged on the way back.
    const keepTyped = () => { if (takeShownAnswers()) store(); };
    window.addEventListener('pagehide', keepTyped);
    document.addEventListener('visibilitychange', () => { if (document.visibilityState === 'hidden') keepTyped(); });
    // The keys go to the answer box from the start, as in the player; not on
    // a touch screen, where that would open the keyboard over the picture.
    if (window.matchMedia('(pointer: fine)').matches)
      (gridShown ? grid.boxes[current * perQuestion] : single.boxes[0]).focus({preventScroll: true});
    document.body.dataset.ready = 'true';
  }

  const wasm = bytesOf($('judging-module').textContent.trim());
  VidodJudging({wasmBinary: wasm}).then(start, () => showNotice(
      'Ce navigateur ne peut pas jouer ce quiz : il refuse le module qui juge les r\u00e9ponses. ' +
      'Essayez avec un navigateur \u00e0 jour.'));
})();
