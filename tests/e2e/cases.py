#!/usr/bin/env python3
"""End-to-end cases: the real bingo program in Xvfb, driven by keys and clicks, printing to a
private CUPS queue. Run one case: cases.py --state FILE --bingo EXE --work DIR CASE."""

import os
import re
import shutil
import signal
import sys
import time

from harness import (CALLER_CAPTION, DUPLEX_PRINTER, PREVIEW_CAPTION, PRINTER, Bingo, Caller,
                     Failure, Skip, check, completed_jobs, integrity, job_attributes,
                     job_documents, log, main, pdf_info, pdf_words, pt_to_mm, queue_jobs, run,
                     spool_size, sqlite, table_cards, wait_until)

PX = 25.4 / 96.0  # one design pixel in millimetres
A4 = (210.0, 297.0)
TOLERANCE = 0.5  # mm
STAMP = re.compile(r"^(\d{4})/(\d{2})/(\d{2})-(\d{2}):(\d{2})$")
CAPTION = "彩票號碼"

# The sheet's geometry, in millimetres from the paper's top-left corner and the band's.
COLUMN_LEFT = (5.0, 105.0)
ROW_TOP = (5.0, 100.2, 195.4)
SERIAL_AT = (115 * PX, 17 * PX)
CAPTION_AT = (40 * PX, 16 * PX)
# The caption is 12 pt: its line of one em is centred this far below its top. A word's top as
# pdftotext gives it is its face's ascent line, which lies above the line for a CJK face with
# tall line spacing; the middle of the word stays within a quarter millimetre of the line's.
CAPTION_MIDDLE = 12 * 25.4 / 72 / 2
STAMP_RIGHT_TOP = (322 * PX, 20 * PX)


def number_box(k):
    """Left, top and width (mm, in the band) of the text box of number k = 1 .. 25."""
    r, c = divmod(k - 1, 5)
    return (43 + 57 * c) * PX, (50 + 57 * r) * PX, 45 * PX


def minute_of(t):
    return time.strftime("%Y/%m/%d-%H:%M", time.gmtime(t))


# ----------------------------------------------------------------------------------------------
# Checks shared by the cases

def check_table(path, sheets, numbers=None):
    """The table holds 6 x sheets records, serials 1 .. 6 x sheets in record order, and every
    card 25 distinct numbers in 1 .. numbers."""
    cards = table_cards(path)
    check(len(cards) == 6 * sheets, f"the table holds {len(cards)} records, not {6 * sheets}")
    serials = [card[0] for card in cards]
    check(serials == list(range(1, 6 * sheets + 1)),
          f"the serials are not 1 .. {6 * sheets} in record order: {serials[:12]} ...")
    if numbers:
        for card in cards:
            drawn = card[1:]
            check(len(set(drawn)) == 25 and all(1 <= n <= numbers for n in drawn),
                  f"card {card[0]} does not hold 25 distinct numbers in 1 .. {numbers}: {drawn}")
    return cards


def expected_texts(cards):
    """Per page, the texts the sheet must show with where they must be: (text, kind, x, y), x
    being the left edge, the centre or the right edge as kind says, in mm from the paper."""
    pages = []
    for i, card in enumerate(cards):
        if i % 6 == 0:
            pages.append([])
        slot = i % 6
        left, top = COLUMN_LEFT[slot // 3], ROW_TOP[slot % 3]
        items = pages[-1]
        items.append((CAPTION, "left-middle", left + CAPTION_AT[0], top + CAPTION_AT[1] + CAPTION_MIDDLE))
        items.append((f"{(card[0] + 10000) % 10000:04d}", "left", left + SERIAL_AT[0],
                      top + SERIAL_AT[1]))
        items.append((STAMP, "right", left + STAMP_RIGHT_TOP[0], top + STAMP_RIGHT_TOP[1]))
        for k in range(1, 26):
            box_left, box_top, width = number_box(k)
            items.append((str(card[k]), "centre", left + box_left + width / 2, top + box_top))
    return pages


def check_sheet_pdf(path, cards, stamp_minutes):
    """The PDF has one A4 page per six cards, each text where the sheet puts it (within 0.5 mm),
    and every time stamp in one of stamp_minutes."""
    pages, size = pdf_info(path)
    check(pages == (len(cards) + 5) // 6, f"{path.name} has {pages} pages for {len(cards)} cards")
    check(abs(pt_to_mm(size[0]) - A4[0]) <= TOLERANCE and abs(pt_to_mm(size[1]) - A4[1]) <= TOLERANCE,
          f"{path.name}: page size {size} pt is not A4")
    stamps = set()
    for number, ((width, height, words), items) in enumerate(zip(pdf_words(path), expected_texts(cards)), 1):
        unused = list(words)
        matched = []
        for text, kind, x, y in items:
            best = None
            for word in unused:
                if not (text.match(word[0]) if isinstance(text, re.Pattern) else word[0] == text):
                    continue
                wx = {"left": word[1], "left-middle": word[1], "centre": (word[1] + word[3]) / 2,
                      "right": word[3]}[kind]
                wy = (word[2] + word[4]) / 2 if kind == "left-middle" else word[2]
                dx, dy = pt_to_mm(wx) - x, pt_to_mm(wy) - y
                if best is None or abs(dx) + abs(dy) < best[0]:
                    best = (abs(dx) + abs(dy), dx, dy, word)
            label = text.pattern if isinstance(text, re.Pattern) else text
            check(best is not None, f"page {number}: no text {label!r} (expected at {x:.2f}, {y:.2f} mm)")
            _, dx, dy, word = best
            check(abs(dx) <= TOLERANCE and abs(dy) <= TOLERANCE,
                  f"page {number}: {word[0]!r} is at {pt_to_mm(word[1]):.2f}, {pt_to_mm(word[2]):.2f} mm, "
                  f"{dx:+.2f} / {dy:+.2f} mm off its place ({kind} {x:.2f}, top {y:.2f})")
            unused.remove(word)
            matched.append(word)
            if isinstance(text, re.Pattern):
                stamps.add(word[0])
        check_caption_clear(number, matched, unused)
        # What is left is the caption's colon, one per card; nothing else may be on the sheet.
        extra = [w[0] for w in unused if w[0] != ":"]
        check(not extra, f"page {number} shows text that is no card's: {extra[:10]}")
    check(stamps and stamps <= set(stamp_minutes),
          f"time stamps {sorted(stamps)} are not from the minutes {sorted(stamp_minutes)}")
    return stamps


def check_caption_clear(number, matched, unused):
    """On every card of page number, the caption and its colon end before the serial begins.
    matched holds each card's words in the order expected_texts lists them, caption first and
    serial second; unused the words left over, the colons among them."""
    for first in range(0, len(matched), 28):  # caption, serial, stamp, 25 numbers
        caption, serial = matched[first], matched[first + 1]
        colons = [w for w in unused if w[0] == ":" and abs(w[2] - caption[2]) < 3 and
                  caption[3] - 1 <= w[1] <= serial[3]]
        check(colons, f"page {number}: no colon after the caption at {pt_to_mm(caption[1]):.2f} mm")
        end = max(w[3] for w in [caption] + colons)
        check(end <= serial[1],
              f"page {number}: the caption ends at {pt_to_mm(end):.2f} mm, on the serial "
              f"{serial[0]!r} that begins at {pt_to_mm(serial[1]):.2f} mm")


def words_of(path):
    return [[(w[0], round(w[1], 1), round(w[2], 1)) for w in words] for _, _, words in pdf_words(path)]


def minutes_between(start, end):
    return {minute_of(t) for t in range(int(start) - 1, int(end) + 2)}


# ----------------------------------------------------------------------------------------------
# The cases

def case_job_preview(exe, state, work):
    """Typed N and S, Alt+P: the preview opens on a table of 6 x S cards; Esc closes it and the
    main window takes the next job."""
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(numbers=25, sheets=3)
        preview = bingo.print_job()
        first = check_table(bingo.table_file, 3, numbers=25)
        for card in first:  # with N = 25 every card is a permutation of 1 .. 25
            check(sorted(card[1:]) == list(range(1, 26)), f"card {card[0]} is no permutation of 1 .. 25")
        bingo.close_preview(preview)
        check(bingo.alive(), "the program ended when the preview closed")

        bingo.set_sheets(2)
        preview = bingo.print_job()
        second = check_table(bingo.table_file, 2, numbers=25)
        check([c[1:] for c in second] != [c[1:] for c in first[:12]],
              "the second job repeated the first job's cards")
        bingo.close_preview(preview)
        check(bingo.alive(), "the program ended when the preview closed")


def case_zoom_keys(exe, state, work):
    """Un-maximised, the preview takes three quarters of the screen, centred; Ctrl++, Ctrl+=,
    Ctrl+- (and the keypad's plus and minus) and Ctrl+0 zoom from the keyboard; the zoom box,
    reached by Tab past the page box, takes a typed percentage and hands the keys back to the
    pages."""
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=3)
        preview = bingo.print_job()
        bingo.wait_idle()
        # No window manager: the window shows at the size it would restore to.
        x, y, width, height = bingo.display.geometry(preview)
        screen_w, screen_h = (int(v) for v in bingo.display.xdotool("getdisplaygeometry").stdout.split())
        check(abs(width - screen_w * 3 / 4) <= 4 and abs(height - screen_h * 3 / 4) <= 4,
              f"un-maximised the preview is {width} x {height} on a {screen_w} x {screen_h} screen")
        check(abs(2 * x + width - screen_w) <= 4 and abs(2 * y + height - screen_h) <= 4,
              f"un-maximised the preview is at {x}, {y}, not centred")
        bingo.display.maximise(preview)
        bingo.display.focus(preview)

        def toolbar():
            """The tool bar, whose zoom box shows the zoom."""
            bingo.wait_idle()
            return bingo.display.snapshot(preview, rows=(0.0, 0.035))

        def pages():
            bingo.wait_idle()
            return bingo.display.snapshot(preview, rows=(0.15, 0.85))

        def press(*keys):
            bingo.display.key(*keys)
            return toolbar()

        real = toolbar()
        bigger = press("ctrl+plus")
        check(bigger != real, "Ctrl++ did not zoom in")
        check(press("ctrl+0") == real, "Ctrl+0 did not go back to 100 %")
        check(press("ctrl+equal") == bigger, "Ctrl+= did not zoom in as Ctrl++ does")
        press("ctrl+0")
        check(press("ctrl+KP_Add") == bigger, "Ctrl and the keypad's plus did not zoom in")
        press("ctrl+0")
        smaller = press("ctrl+minus")
        check(smaller not in (real, bigger), "Ctrl+- did not zoom out")
        press("ctrl+0")
        check(press("ctrl+KP_Subtract") == smaller, "Ctrl and the keypad's minus did not zoom out")
        press("ctrl+0")

        bingo.display.key("Tab", "Tab")
        bingo.display.type("150")
        typed = press("Return")
        check(typed not in (real, bigger, smaller), "typing 150 into the zoom box did not zoom")
        page_1 = pages()
        bingo.display.key("Next")
        check(pages() != page_1, "Page Down after the zoom box did not move: the pages lost the keys")
        check(bingo.alive(), "the program ended")


def case_save_pdf(exe, state, work):
    """Ctrl+S in the preview: the saved PDF shows the table's cards on A4 sheets, every text in
    its place."""
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(numbers=99, sheets=2)
        start = time.time()
        preview = bingo.print_job()
        cards = check_table(bingo.table_file, 2, numbers=99)
        bingo.wait_idle()
        laid_out = time.time()
        saved = work / "saved.pdf"
        bingo.save_preview(preview, saved)
        check_sheet_pdf(saved, cards, minutes_between(start, laid_out))
        check(bingo.alive(), "the program ended")


def case_print(exe, state, work):
    """Ctrl+P prints to the default CUPS queue: S pages of A4 whose stamps give the time of
    printing, while the preview keeps its pages."""
    if state.get("cups_skip"):
        raise Skip(state["cups_skip"])
    env = dict(os.environ, CUPS_SERVER=state["cups_server"])

    def completed_jobs():
        out = run(["lpstat", "-W", "completed", "-o", PRINTER], env=env, check_rc=False).stdout
        return {int(m.group(1)) for m in re.finditer(rf"^{PRINTER}-(\d+)\s", out, re.M)}

    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=2)
        start = time.time()
        preview = bingo.print_job()
        cards = check_table(bingo.table_file, 2)
        bingo.wait_idle()
        before = work / "before.pdf"
        bingo.save_preview(preview, before)
        preview_stamps = check_sheet_pdf(before, cards, minutes_between(start, time.time()))

        # Print in a later minute than the layout, so the two kinds of stamp can be told apart.
        layout_minute = max(preview_stamps)
        wait_until(lambda: minute_of(time.time()) > layout_minute, 75, "the next minute", interval=0.5)
        jobs_before = completed_jobs()
        printed_from = time.time()
        bingo.display.focus(preview)
        bingo.display.key("ctrl+p")
        new_jobs = wait_until(lambda: completed_jobs() - jobs_before, 120, "the print job to complete",
                              interval=0.5, abort=bingo.ended)
        printed_until = time.time()
        check(len(new_jobs) == 1, f"one Ctrl+P made the jobs {sorted(new_jobs)}")
        job = new_jobs.pop()
        out_dir = state["cups_pdf_out"]
        output = wait_until(lambda: [f for f in os.listdir(out_dir) if f.endswith(f"-job_{job}.pdf")]
                            if os.path.isdir(out_dir) else None, 30, f"cups-pdf's file of job {job}")
        printed = work / "printed.pdf"
        os.replace(os.path.join(out_dir, output[0]), printed)

        pages, size = pdf_info(printed)
        check(pages == 2, f"the printer got {pages} pages for 2 sheets")
        check(abs(pt_to_mm(size[0]) - A4[0]) <= TOLERANCE and abs(pt_to_mm(size[1]) - A4[1]) <= TOLERANCE,
              f"the printed page size {size} pt is not A4")
        title = run(["pdfinfo", str(printed)]).stdout
        check(re.search(r"^Title:.*Bingo", title, re.M), f"the print job is not titled Bingo: {title}")
        # cups-pdf's PDF has passed through PostScript, which loses the text's encoding; the
        # document the queue received still has it, with the sheets exactly as printed.
        document = os.path.join(state["cups_spool"], f"d{job:05d}-001")
        check(os.path.exists(document), f"the queue kept no document of job {job}")
        received = work / "received.pdf"
        shutil.copyfile(document, received)
        printed_stamps = check_sheet_pdf(received, cards, minutes_between(printed_from, printed_until))
        check(not printed_stamps & preview_stamps, "the printed sheets carry the preview's time stamps")

        after = work / "after.pdf"
        bingo.save_preview(preview, after)
        check(words_of(after) == words_of(before), "printing changed the pages of the preview")
        check(bingo.alive(), "the program ended")


def save_job(bingo, path, sheets, numbers=None):
    """A job of the given size printed into the preview, its pages saved at path, the preview
    closed again."""
    bingo.type_job(numbers=numbers, sheets=sheets)
    preview = bingo.print_job()
    bingo.wait_idle()
    bingo.save_preview(preview, path)
    bingo.close_preview(preview)


def case_load_pdf(exe, state, work):
    """Ctrl+O loads a saved PDF into the preview; a file that is not a PDF gives a message and
    leaves the preview as it was."""
    with Bingo(exe, state, work) as bingo:
        saved = work / "three-sheets.pdf"
        save_job(bingo, saved, sheets=3)

        bingo.set_sheets(1)
        preview = bingo.print_job()
        check_table(bingo.table_file, 1)
        bingo.wait_idle()
        bingo.file_dialog(preview, "ctrl+o", saved)
        bingo.wait_idle()
        reloaded = work / "reloaded.pdf"
        bingo.save_preview(preview, reloaded)
        check(pdf_info(reloaded)[0] == 3, "the preview does not show the three pages loaded")
        check(words_of(reloaded) == words_of(saved), "the loaded pages differ from the saved file")

        junk = work / "notes.pdf"
        junk.write_bytes(b"These are my notes, not a PDF.\n")
        bingo.file_dialog(preview, "ctrl+o", junk)
        box = bingo.new_window({bingo.main, preview}, 20, "the message box")
        title = bingo.display.window_name(box)
        check(title in ("Bingo", "bingo"), f"the message box is titled {title!r}")
        bingo.display.focus(box)
        bingo.display.key("Return")
        bingo.display.wait_gone(box)
        check(junk.read_bytes() == b"These are my notes, not a PDF.\n", "the file that is no PDF was changed")
        after = work / "after.pdf"
        bingo.save_preview(preview, after)
        check(words_of(after) == words_of(saved), "the failed load changed the preview")
        check(bingo.alive(), "the program ended")


def case_print_again(exe, state, work):
    """Alt+P while a preview is open: that preview closes, a new job runs and the table holds
    exactly its cards."""
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=3)
        first = bingo.print_job()
        check_table(bingo.table_file, 3)
        bingo.set_sheets(1)
        bingo.display.key("alt+p")
        bingo.display.wait_gone(first)
        second = bingo.wait_preview(exclude={first})
        check(second != first, "no new preview window")
        check_table(bingo.table_file, 1)
        bingo.wait_idle()
        check(len(bingo.display.windows(bingo.pid, "^Bingo$")) == 1, "more than one preview is open")
        check_table(bingo.table_file, 1)


def case_close_main(exe, state, work):
    """Closing the main window while a preview is open ends the program with status 0."""
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=2)
        preview = bingo.print_job()
        bingo.focus_main()
        bingo.display.click(bingo.main, 288 + 46, 32 + 14)  # the Close button
        status = bingo.wait_exit(20)
        check(status == 0, f"the program ended with status {status}; it said: {bingo.output()[-2000:]}")


def case_large_job(exe, state, work):
    """S = 9999: the preview opens, End goes to the last page, and the program stays under
    150 MB of resident memory throughout."""
    limit_kb = 150 * 1024
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=9999)
        bingo.focus_main()
        bingo.display.key("alt+p")
        preview = wait_until(lambda: bingo.sample_rss() and bingo.display.windows(bingo.pid, "^Bingo$"),
                             300, "the preview of 9999 sheets", interval=0.2, abort=bingo.ended)[0]
        rows = sqlite(bingo.table_file, "SELECT count(*), min(S0), max(S0) FROM tmpBingo")
        check(rows == [["59994", "1", "59994"]], f"the table holds {rows}, not serials 1 .. 59994")
        bingo.wait_idle(timeout=300)
        bingo.display.maximise(preview)
        bingo.display.focus(preview)
        bingo.wait_idle()

        def view():
            """The pages in view, without the tool and status bars."""
            bingo.wait_idle()
            return bingo.display.snapshot(preview, rows=(0.15, 0.85))

        def press(*keys):
            bingo.display.key(*keys)
            return view()

        def go_to(page):
            """Types the page into the page box (Tab from the pages reaches it) and Enter."""
            bingo.display.key("Tab")
            bingo.display.type(str(page))
            return press("Return")

        first_page = view()
        last_page = press("End")
        check(last_page != first_page, "End did not leave page 1")
        check(press("Home") == first_page, "Home did not go back to page 1")
        check(go_to(9999) == last_page, "End did not show page 9999")
        press("Home")
        page_9998 = go_to(9998)
        check(page_9998 != first_page, "typing 9998 into the page box did not move")
        check(page_9998 != last_page, "page 9998 looks like the last page: there are fewer than 9999")
        check(press("ctrl+Next") == last_page, "Ctrl+Page Down did not go to the last page")
        bingo.sample_rss()
        log(f"peak resident memory {bingo.rss_peak_kb / 1024:.1f} MB")
        check(bingo.rss_peak_kb < limit_kb, f"resident memory reached {bingo.rss_peak_kb / 1024:.1f} MB")
        check(bingo.alive(), "the program ended")


def case_killed_mid_job(exe, state, work):
    """SIGKILL in the middle of a 9999-sheet job: the next run's job succeeds on a sound file."""
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=9999)
        preview = bingo.print_job(timeout=300)
        bingo.close_preview(preview)

        # The second job empties the table, then refills it in one transaction: kill the program
        # once that transaction has written a good part of its cards to the file.
        journal = bingo.temp / "tmpBingo.db-journal"
        bingo.set_sheets(9999)
        written = bingo.bytes_written()
        bingo.display.key("alt+p")
        wait_until(lambda: journal.exists() and bingo.bytes_written() - written > 256 << 10, 120,
                   "the job to be well under way", interval=0.005, abort=bingo.ended)
        os.kill(bingo.pid, signal.SIGKILL)
        bingo.proc.wait()
        check(journal.exists(), "the job had ended before it was killed")

    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=1)
        bingo.print_job()
        check_table(bingo.table_file, 1)
        check(integrity(bingo.table_file) == "ok", "the table file is damaged")
        check(not journal.exists(), "the interrupted job's journal is still there")


# ----------------------------------------------------------------------------------------------
# Printing an operator can trust

def need_cups(state):
    if state.get("cups_skip"):
        raise Skip(state["cups_skip"])


def all_jobs(state):
    """Every job of both queues, whatever its state."""
    return {queue: queue_jobs(state, queue) for queue in (PRINTER, DUPLEX_PRINTER)}


def one_new_job(bingo, state, queue, before, timeout=180):
    """Waits for the print to complete a job on queue; it must be the only new one."""
    new_jobs = wait_until(lambda: completed_jobs(state, queue) - before, timeout,
                          f"the print job on {queue} to complete", interval=0.5, abort=bingo.ended)
    check(len(new_jobs) == 1, f"one Ctrl+P made the jobs {sorted(new_jobs)}")
    job = new_jobs.pop()
    # cups-pdf's own copy of the job is of no use here: take it out of its shared directory.
    out_dir = state["cups_pdf_out"]
    if os.path.isdir(out_dir):
        for name in os.listdir(out_dir):
            if name.endswith(f"-job_{job}.pdf"):
                os.replace(os.path.join(out_dir, name), bingo.work / f"cups-pdf-{job}.pdf")
    return job


def check_no_new_job(state, before, what):
    """Neither queue has a job it did not have before: none waiting, printing, held, completed,
    cancelled or aborted."""
    after = all_jobs(state)
    for queue, jobs in after.items():
        check(jobs == before[queue], f"{what} left the jobs {sorted(jobs - before[queue])} on {queue}")


def use_queue(bingo, queue):
    """Makes queue the default printer of the program's user, as `lpoptions -d` does for a user."""
    cups_dir = bingo.home / ".cups"
    cups_dir.mkdir(exist_ok=True)
    (cups_dir / "lpoptions").write_text(f"Default {queue}\n")


def dialogs(bingo, preview):
    return [w for w in bingo.display.windows(bingo.pid) if w not in (bingo.main, preview)]


def case_print_one_sided(exe, state, work):
    """Ctrl+P on a queue whose printer defaults to two-sided: the job asks for one side, one copy
    and A4, as a PDF document."""
    need_cups(state)
    bingo = Bingo(exe, state, work)
    use_queue(bingo, DUPLEX_PRINTER)
    with bingo:
        bingo.type_job(sheets=2)
        preview = bingo.print_job()
        bingo.wait_idle()
        before = completed_jobs(state, DUPLEX_PRINTER)
        bingo.display.focus(preview)
        bingo.display.key("ctrl+p")
        job = one_new_job(bingo, state, DUPLEX_PRINTER, before)
        attributes = job_attributes(state, job)
        check(attributes.get("sides") == ["one-sided"],
              f"the job on a two-sided printer asked for sides {attributes.get('sides')}")
        check(attributes.get("copies", [1]) == [1], f"the job asked for copies {attributes.get('copies')}")
        check(attributes.get("document-format") == ["application/pdf"],
              f"the job's document is {attributes.get('document-format')}, not a PDF")
        documents = job_documents(state, job)
        check(len(documents) == 1, f"the job holds {len(documents)} documents")
        pages, size = pdf_info(documents[0])
        check(pages == 2, f"the printer got {pages} pages for 2 sheets")
        check(abs(pt_to_mm(size[0]) - A4[0]) <= TOLERANCE and abs(pt_to_mm(size[1]) - A4[1]) <= TOLERANCE,
              f"the printed page size {size} pt is not A4")
        check(bingo.alive(), "the program ended")


def case_reprint_saved_pdf(exe, state, work):
    """A saved 30-sheet PDF, loaded with Ctrl+O and printed with Ctrl+P: the preview's caption
    names the file, and the queue receives the file's own pages, at most 1.2 times its size."""
    need_cups(state)
    with Bingo(exe, state, work) as bingo:
        saved = work / "thirty.pdf"
        save_job(bingo, saved, sheets=30)

        bingo.set_sheets(1)
        preview = bingo.print_job()
        bingo.wait_idle()
        bingo.file_dialog(preview, "ctrl+o", saved)
        bingo.wait_idle()
        caption = f"{PREVIEW_CAPTION} — {saved.name}"
        wait_until(lambda: bingo.display.window_name(preview) == caption, 10,
                   f"the preview's caption to name the file ({caption!r}); it is "
                   f"{bingo.display.window_name(preview)!r}")

        before = completed_jobs(state, PRINTER)
        bingo.display.focus(preview)
        bingo.display.key("ctrl+p")
        job = one_new_job(bingo, state, PRINTER, before)
        spooled, size = spool_size(state, job), saved.stat().st_size
        log(f"saved {size} bytes, spooled {spooled} bytes ({spooled / size:.2f} x)")
        check(spooled <= 1.2 * size, f"the queue received {spooled} bytes for a {size}-byte file")
        attributes = job_attributes(state, job)
        check(attributes.get("sides") == ["one-sided"], f"the job asked for sides {attributes.get('sides')}")
        received = job_documents(state, job)[0]
        check(pdf_info(received)[0] == 30, "the queue did not receive the file's 30 pages")
        check(words_of(received) == words_of(saved), "the pages printed differ from the saved file's")
        check(bingo.alive(), "the program ended")


def case_print_cancelled(exe, state, work):
    """Esc in the progress window of a 2000-sheet print: no box, and no job on any queue,
    neither waiting nor completed; the program keeps running."""
    need_cups(state)
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=2000)
        preview = bingo.print_job(timeout=120)
        bingo.wait_idle(timeout=300)
        before = all_jobs(state)
        bingo.display.focus(preview)
        bingo.display.key("ctrl+p")
        progress = wait_until(lambda: dialogs(bingo, preview), 30, "the print's progress window",
                              interval=0.05, abort=bingo.ended)[0]
        bingo.display.focus(progress)
        bingo.display.key("Escape")
        bingo.display.wait_gone(progress, timeout=60)
        bingo.wait_idle()
        time.sleep(1.0)  # a job handed over at the last moment reaches lpstat by now
        check(not dialogs(bingo, preview), "a window stayed open after the print was cancelled")
        check_no_new_job(state, before, "the cancelled print")
        check(bingo.alive(), "the program ended")


def case_print_spoiled(exe, state, work):
    """A print that fails part-way (record 100 spoiled by hand after the preview was laid out):
    an error box, and no job on any queue; the program keeps running."""
    need_cups(state)
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=200)
        preview = bingo.print_job()
        bingo.wait_idle()
        run(["sqlite3", "-batch", str(bingo.table_file), "UPDATE tmpBingo SET S0 = 'abc' WHERE rowid = 100"])
        before = all_jobs(state)
        bingo.display.focus(preview)
        bingo.display.key("ctrl+p")
        box = wait_until(lambda: dialogs(bingo, preview), 30, "a window after Ctrl+P", abort=bingo.ended)[0]
        bingo.wait_idle()
        boxes = dialogs(bingo, preview)
        check(len(boxes) == 1, f"after the failed print {len(boxes)} windows are open besides the preview")
        box = boxes[0]
        title = bingo.display.window_name(box)
        check(title in ("Bingo", "bingo"), f"the window left open is {title!r}, not the error box")
        bingo.display.focus(box)
        bingo.display.key("Return")
        bingo.display.wait_gone(box)
        time.sleep(1.0)
        check_no_new_job(state, before, "the failed print")

def with_locales(bingo, state, **variables):
    """Sets the locale variables (LANG, LC_TIME, ...) and drops the harness's LC_ALL. The
    locales are compiled once into the environment's own folder (LOCPATH), so they exist as on
    an operator's machine whatever the system has generated: Xlib, for one, names windows in
    the locale's encoding."""
    locales = os.path.join(state["runtime"], "locale")
    for name in set(variables.values()):
        target = os.path.join(locales, name)
        if not os.path.isdir(target):
            os.makedirs(locales, exist_ok=True)
            language, charset = name.split(".")
            # localedef warns about some locale sources yet writes the locale.
            run(["localedef", "-i", language, "-f", charset, target], check_rc=False, timeout=120)
            check(os.path.isdir(target), f"localedef could not compile the locale {name}")
    bingo.env.pop("LC_ALL", None)
    bingo.env.update(LOCPATH=locales, **variables)
    return bingo


def mapped_files(pid):
    with open(f"/proc/{pid}/maps") as f:
        return {line.split(None, 5)[5].strip() for line in f if len(line.split(None, 5)) == 6}


def case_zh_error_box(exe, state, work):
    """Under LANG=zh_TW.UTF-8 a table file that is no database fails the job with one error box
    titled "bingo"; the file is left as it was and no preview opens."""
    with with_locales(Bingo(exe, state, work), state, LANG="zh_TW.UTF-8") as bingo:
        notes = b"These are my notes, not a card table.\n" * 100
        bingo.table_file.write_bytes(notes)
        bingo.type_job(sheets=1)
        bingo.focus_main()
        bingo.display.key("alt+p")
        box = bingo.new_window({bingo.main}, 20, "the error box")
        title = bingo.display.window_name(box)
        check(title == "bingo", f"the error box is titled {title!r}, not 'bingo'")
        time.sleep(1.0)  # a second box for the same failure would show by now
        others = [w for w in bingo.display.windows(bingo.pid) if w not in (bingo.main, box)]
        check(not others, f"more windows than the one error box: {[bingo.display.window_name(w) for w in others]}")
        bingo.display.focus(box)
        bingo.display.key("Return")
        bingo.display.wait_gone(box)
        time.sleep(0.5)
        others = [w for w in bingo.display.windows(bingo.pid) if w != bingo.main]
        check(not others, f"after OK, windows are left: {[bingo.display.window_name(w) for w in others]}")
        check(bingo.table_file.read_bytes() == notes, "the file that is no database was changed")
        check(bingo.alive(), "the program ended")


def case_zh_save_dialog(exe, state, work):
    """Under LANG=zh_TW.UTF-8 the save dialog runs with Qt's Traditional Chinese translation
    loaded, and saves."""
    with with_locales(Bingo(exe, state, work), state, LANG="zh_TW.UTF-8") as bingo:
        bingo.type_job(sheets=1)
        preview = bingo.print_job()
        bingo.wait_idle()
        bingo.display.focus(preview)
        bingo.display.key("ctrl+s")
        dialog = bingo.new_window({bingo.main, preview}, 20, "the save dialog")
        title = bingo.display.window_name(dialog)
        check(title == "儲存預覽", f"the save dialog is titled {title!r}")
        translations = [f for f in mapped_files(bingo.pid) if re.search(r"qt(base)?_zh_TW\.qm$", f)]
        check(translations, "Qt's zh_TW translation is not loaded: the dialog's own texts are English")
        saved = work / "saved.pdf"
        bingo.display.focus(dialog)
        bingo.display.key("ctrl+a")
        bingo.display.type(str(saved))
        bingo.display.key("Return")
        bingo.display.wait_gone(dialog)
        wait_until(lambda: saved.exists() and saved.stat().st_size > 0, 30, "saved.pdf to be written")
        check(bingo.alive(), "the program ended")


def case_lc_time_minguo(exe, state, work):
    """LANG=en_US.UTF-8 with LC_TIME=zh_TW.UTF-8: the saved sheet's stamps carry the Minguo
    year, the calendar of the time category."""
    with with_locales(Bingo(exe, state, work), state, LANG="en_US.UTF-8", LC_TIME="zh_TW.UTF-8") as bingo:
        bingo.type_job(sheets=1)
        preview = bingo.print_job()
        bingo.wait_idle()
        saved = work / "minguo.pdf"
        bingo.save_preview(preview, saved)
        year = time.gmtime().tm_year - 1911
        stamp = re.compile(rf"^{year}/\d{{2}}/\d{{2}}-\d{{2}}:\d{{2}}$")
        words = [w[0] for _, _, page in pdf_words(saved) for w in page]
        stamps = [w for w in words if re.match(r"^\d{3,4}/\d{2}/\d{2}-", w)]
        check(len(stamps) == 6, f"the sheet carries {len(stamps)} stamps, not 6: {stamps}")
        check(all(stamp.match(s) for s in stamps), f"the stamps {stamps} do not carry the Minguo year {year}")
        check(bingo.alive(), "the program ended")

# bingo-caller

LINES = ([[5 * r + c for c in range(5)] for r in range(5)] +
         [[5 * r + c for r in range(5)] for c in range(5)] +
         [[0, 6, 12, 18, 24], [4, 8, 12, 16, 20]])
LINE_NAMES = ([f"row {i}" for i in range(1, 6)] + [f"column {i}" for i in range(1, 6)] +
              ["diagonal 1", "diagonal 2"])


def expected_verdict(card, page, calls):
    """The verdict of the one-line game on a table card [serial, n1 .. n25] after calls, worked
    out here from the rules: its complete lines, the call that completed the first, and for a
    card that has none the numbers its nearest line still needs."""
    at = {n: i + 1 for i, n in enumerate(calls)}
    numbers = card[1:]
    complete = [(max(at[numbers[c]] for c in line), i) for i, line in enumerate(LINES)
                if all(numbers[c] in at for c in line)]
    lines = [LINE_NAMES[i] for _, i in complete]
    if all(n in at for n in numbers):
        lines.append("full card")
    missing = []
    if not complete:
        best = min(LINES, key=lambda line: sum(numbers[c] not in at for c in line))
        missing = [numbers[c] for c in best if numbers[c] not in at]
    return {"serial": card[0], "page": page, "winning": bool(complete), "lines": lines,
            "at_call": min(w for w, _ in complete) if complete else None, "missing": missing}


def caller_exe(state):
    if not state.get("caller"):
        raise Failure("no bingo-caller given (--caller)")
    return state["caller"]


def print_and_close(bingo, numbers=None, sheets=None):
    """A job typed into the main window; its preview closed again. Returns the table's cards."""
    bingo.type_job(numbers=numbers, sheets=sheets)
    preview = bingo.print_job(timeout=300)
    cards = table_cards(bingo.table_file)
    bingo.close_preview(preview)
    return cards


def case_caller_game(exe, state, work):
    """A job printed by bingo; in bingo-caller the numbers of one card's row are called, that card
    is checked as winning with the row named, and another card as the rules say."""
    with Bingo(exe, state, work) as bingo:
        cards = print_and_close(bingo, numbers=75, sheets=2)
    card = cards[8]  # serial 9, page 2
    row = card[1 + 10:1 + 15]  # its third row
    with Caller(caller_exe(state), state, work) as caller:
        title = caller.title()
        check(title.startswith(CALLER_CAPTION) and "tmpBingo.db" in title,
              f"the window is titled {title!r}")
        for i, number in enumerate(row):
            event = caller.call(number)
            check(event["event"] == "call" and event["number"] == number and event["count"] == i + 1,
                  f"the record says {event} for call {i + 1} of {number}")
        start = caller.events()[0]
        check(start["event"] == "start" and start["cards"] == 12 and start["pattern"] == "line" and
              start["source"] == str(bingo.table_file),
              f"the game's start is recorded as {start}")

        won = caller.check_serial("9")
        check(won["serial"] == "0009" and len(won["cards"]) == 1, f"the check of 9 recorded {won}")
        verdict = won["cards"][0]
        check(verdict["serial"] == 9 and verdict["page"] == 2 and verdict["winning"] is True and
              "row 3" in verdict["lines"] and verdict["at_call"] == 5 and verdict["missing"] == [],
              f"card 9 with its third row called is judged {verdict}")
        check(verdict == expected_verdict(card, 2, row), f"card 9's verdict {verdict}")

        other = cards[3]  # serial 4, page 1
        checked = caller.check_serial("0004")
        check(checked["cards"] == [expected_verdict(other, 1, row)],
              f"card 4 is judged {checked['cards']}, not {[expected_verdict(other, 1, row)]}")
        check(caller.check_serial("13")["cards"] == [], "serial 13 names a card in a 12-card job")
        check(caller.alive(), "the caller ended")


def case_caller_refused(exe, state, work):
    """A number outside 1 .. N and a number called before are refused and not recorded."""
    with Bingo(exe, state, work) as bingo:
        print_and_close(bingo, numbers=99, sheets=1)
    with Caller(caller_exe(state), state, work) as caller:
        caller.call(17)
        before = caller.events()
        for number in (0, 100, 17):
            caller.refused(number)
            check(caller.events() == before, f"{number} was recorded: {caller.events()[len(before):]}")
        event = caller.call(18)
        check(event["number"] == 18 and event["count"] == 2, f"the next call is recorded as {event}")


def case_caller_killed(exe, state, work):
    """SIGKILL in the middle of a game loses no call: the next run resumes it."""
    with Bingo(exe, state, work) as bingo:
        print_and_close(bingo, numbers=50, sheets=1)
    calls = [12, 7, 33, 41]
    with Caller(caller_exe(state), state, work) as caller:
        for number in calls:
            caller.call(number)
        caller.undo()
        caller.call(2)
        record = caller.record_files()
        os.kill(caller.pid, signal.SIGKILL)
        caller.proc.wait()
    with Caller(caller_exe(state), state, work) as caller:
        check(caller.record_files() == record, f"the restart made new records: {caller.record_files()}")
        before = caller.events()
        caller.refused(33)  # still called: the calls came back
        check(caller.events() == before, "33, called before the kill, was called again")
        event = caller.call(41)
        check(event["count"] == 5, f"the first call after the restart is recorded as {event}")
        check(caller.record_files() == record, "the resumed game went to another record")


def case_caller_pdf(exe, state, work):
    """A PDF saved from a 3-sheet job is checked after a later job has replaced the table."""
    with Bingo(exe, state, work) as bingo:
        saved = work / "three-sheets.pdf"
        save_job(bingo, saved, sheets=3, numbers=60)
        cards = check_table(bingo.table_file, 3, numbers=60)
        bingo.set_sheets(1)
        preview = bingo.print_job()
        check_table(bingo.table_file, 1)
        bingo.close_preview(preview)
    card = cards[14]  # serial 15, page 3
    column = [card[1 + 2 + 5 * r] for r in range(5)]
    with Caller(caller_exe(state), state, work, args=[saved]) as caller:
        check(str(saved) in caller.title(), f"the window is titled {caller.title()!r}")
        for number in column:
            caller.call(number)
        start = caller.events()[0]
        check(start["source"] == str(saved) and start["range"] == 60 and start["cards"] == 18,
              f"the game's start is recorded as {start}")
        verdict = caller.check_serial("15")["cards"]
        check(verdict == [expected_verdict(card, 3, column)] and "column 3" in verdict[0]["lines"],
              f"card 15 of the saved job is judged {verdict}")


def case_caller_large(exe, state, work):
    """In a 9999-sheet job "0007" names six cards, on pages 2, 1668, 3335, 5002, 6668 and 8335."""
    with Bingo(exe, state, work) as bingo:
        bingo.type_job(sheets=9999)
        preview = bingo.print_job(timeout=300)
        rows = sqlite(bingo.table_file, "SELECT count(*) FROM tmpBingo")
        check(rows == [["59994"]], f"the table holds {rows} cards")
        bingo.close_preview(preview)
    with Caller(caller_exe(state), state, work) as caller:
        checked = caller.check_serial("0007")
        serials = [c["serial"] for c in checked["cards"]]
        pages = [c["page"] for c in checked["cards"]]
        check(serials == [7, 10007, 20007, 30007, 40007, 50007], f"0007 names the cards {serials}")
        check(pages == [2, 1668, 3335, 5002, 6668, 8335], f"0007's cards are on the pages {pages}")
        check(all(not c["winning"] and len(c["missing"]) == 5 for c in checked["cards"]),
              f"before any call the cards are judged {checked['cards']}")


CASES = {name[5:]: f for name, f in globals().items() if name.startswith("case_")}

if __name__ == "__main__":
    sys.exit(main(CASES))
