"""The demo quiz page played in headless Chromium, as pupils would play it.

Makes the pages with the vidod-make under test: the demo, and a two-answer
quiz whose texts are markup. The verdicts typed answers get are those the
Windows player gives: the rows of drapeaux_play.sh (which checks them
against the real drapeaux.exe under Wine), and for many more answers those
of `vidod-make judge`, which judges with the player's own code.
Usage: page_test.py VIDOD_MAKE SOURCE_DIR WORK_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

MAKER, SOURCE, WORK = sys.argv[1:4]
DEMO = os.path.join(SOURCE, "demo", "drapeaux", "quiz.toml")
DEMO_ANSWERS = ["France", "Italie", "Belgique", "Allemagne", "Irlande", "Pays-Bas", "Autriche", "Pologne",
                "Japon", "Russie", "Ukraine", "Suisse"]
# Typed answers whose verdicts vidod-make judge gives, by question (from 1).
TYPED = [(1, "france"), (1, "  FRANCE "), (1, "fr"), (1, "ecnarf"), (2, "italy"), (2, "itali"),
         (3, "belgium"), (3, "Belgiqe"), (4, "allemagne de l'ouest"), (5, "irl"), (6, "pays bas"),
         (6, "paysbas"), (7, "autriche-hongrie"), (8, "polonge"), (9, "japan"), (10, "russia"),
         (11, "Ukraine"), (12, "suise"), (12, "")]
INJECTION = "<img src=x onerror=alert(1)>"

driver = None
pages = {}


def make_pages():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    pages["demo"] = os.path.join(WORK, "drapeaux.html")
    subprocess.run([MAKER, "web", DEMO, "-o", pages["demo"]], check=True, stdout=subprocess.DEVNULL)
    # Two answers per question, reveals at completion, texts that are markup.
    images = os.path.join(SOURCE, "demo", "drapeaux", "images")
    source = os.path.join(WORK, "balises.toml")
    with open(source, "w", encoding="utf-8") as out:
        out.write('titre = "%s"\nauteur = "<script>alert(2)</script>"\n'
                  'explication = "Pays & capitale : <b>pas en gras</b>"\n'
                  'libelles = ["Pays", "<i>Capitale</i>"]\ntype = 4\nimages_dans_liste = true\n'
                  'codes = ["<u>UN</u>", "DEUX"]\n' % INJECTION)
        for country, capital, reveal, image in [("France", "Paris", "<em>Hexagone</em>", "01-france.jpg"),
                                                ("Italie", "Rome", "Botte", "02-italie.jpg")]:
            out.write('[[question]]\nreponse = "%s"\nreponse2 = ["%s", "Roma"]\nrevelation = "%s"\n'
                      'image = "%s"\n' % (country, capital, reveal, os.path.join(images, image)))
    pages["markup"] = os.path.join(WORK, "balises.html")
    subprocess.run([MAKER, "web", source, "-o", pages["markup"]], check=True, stdout=subprocess.DEVNULL)


def judged(question, typed, list_view):
    command = [MAKER, "judge", "--source", DEMO, "--question", str(question)]
    command += ["--liste"] if list_view else []
    return subprocess.run(command + ["--", typed], check=True, capture_output=True,
                          text=True).stdout.strip()


def setUpModule():
    global driver
    make_pages()
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for flag in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                 "--disable-component-update", "--no-first-run", "--disable-sync",
                 "--user-data-dir=" + tempfile.mkdtemp(dir=WORK)]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    # What the browser did before any page of ours (its new tab) is not theirs.
    driver.get("about:blank")
    driver.get_log("performance")
    driver.get_log("browser")


def tearDownModule():
    if driver:
        driver.quit()


def size(width, height, phone=False):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": phone})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": phone})


def open_page(name, fresh=True):
    driver.get("file://" + pages[name])
    if fresh:
        driver.execute_script("localStorage.clear()")
        driver.refresh()
    driver.execute_script(
        "return new Promise((done) => { const ready = () => document.body.dataset.ready ? done() :"
        " setTimeout(ready, 10); ready(); })")


def by_id(id):
    return driver.find_element(By.ID, id)


def text(id):
    return by_id(id).text


def js(script):
    return driver.execute_script(script)


def answer(id, typed, key=Keys.ENTER):
    box = by_id(id)
    box.clear()
    box.send_keys(typed + key if typed else key)


class PageTest(unittest.TestCase):
    """After each test: no request left the page, and the browser refused nothing (a request the
    page's policy blocks, a script error)."""

    def tearDown(self):
        requests = []
        for entry in driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                requests.append(message["params"]["request"]["url"])
        self.assertTrue(requests)
        own = tuple("file://" + page for page in pages.values())
        self.assertEqual([url for url in requests if not url.startswith(own + ("data:",))], [])
        problems = [e["message"] for e in driver.get_log("browser") if e["level"] in ("SEVERE", "WARNING")]
        self.assertEqual(problems, [])


class DemoPage(PageTest):
    def setUp(self):
        size(1280, 800)

    def assertShows(self, **expected):
        for id, value in expected.items():
            self.assertEqual(text(id.replace("_", "-")), value, id)

    def assertAnnounced(self, said):
        WebDriverWait(driver, 3).until(lambda _: text("announcer") == said, said)

    def test_both_views_give_the_players_verdicts_and_keep_the_answers(self):
        open_page("demo")
        self.assertShows(title="Drapeaux d'Europe et d'ailleurs", score="0 / 12", answer_1_verdict="?")
        self.assertEqual(driver.title, "Drapeaux d'Europe et d'ailleurs")
        # The rows of drapeaux_play.sh, checked there against drapeaux.exe.
        answer("answer-1", "france")
        self.assertShows(answer_1_verdict="BRAVO", reveal="Capitale : Paris", score="1 / 12")
        self.assertEqual(by_id("code").get_attribute("value"), "DRAP-01")
        # Screen readers are told the verdict, and the score when it moves.
        self.assertAnnounced("Question 1 : BRAVO. Score : 1 / 12")
        # A box being changed shows no verdict until it is judged again.
        by_id("answer-1").send_keys("x")
        self.assertShows(answer_1_verdict="?")
        by_id("answer-1").send_keys(Keys.BACKSPACE)
        self.assertShows(answer_1_verdict="BRAVO")
        by_id("next").click()
        answer("answer-1", "espagne")
        self.assertShows(answer_1_verdict="FAUX", reveal="", score="1 / 12")
        self.assertAnnounced("Question 2 : FAUX")
        by_id("next").click()
        answer("answer-1", "Belgiqe")
        self.assertShows(answer_1_verdict="Quasiment")
        by_id("switch").click()
        self.assertTrue(by_id("grid").is_displayed())
        self.assertShows(box_1_verdict="BRAVO", box_2_verdict="FAUX", box_3_verdict="Quasiment",
                         box_4_verdict="?")
        answer("box-4", "allemagne", Keys.TAB)
        self.assertEqual(driver.switch_to.active_element.get_attribute("id"), "box-5")
        self.assertShows(box_4_verdict="BRAVO", score="2 / 12")
        self.assertEqual(by_id("code").get_attribute("value"), "DRAP-02")
        reveals = driver.find_elements(By.CSS_SELECTOR, "#questions .reveal")
        self.assertEqual([r.text for r in reveals if r.is_displayed()], ["Capitale : Paris", "Capitale : Berlin"])

        # Many more answers, each view against vidod-make judge.
        for question, typed in TYPED:
            answer("box-%d" % question, typed, Keys.TAB)
            self.assertEqual(text("box-%d-verdict" % question), judged(question, typed, True), typed)
        # Reloaded in this view, every answer comes back, the first question's included.
        kept = [js("return document.getElementById('box-%d').value" % n) for n in range(1, 13)]
        open_page("demo", fresh=False)
        self.assertEqual([js("return document.getElementById('box-%d').value" % n) for n in range(1, 13)], kept)
        by_id("switch").click()
        for question, typed in TYPED:
            js("const c = document.getElementById('chooser'); c.selectedIndex = %d;"
                        " c.dispatchEvent(new Event('change'));" % (question - 1))
            answer("answer-1", typed)
            self.assertEqual(text("answer-1-verdict"), judged(question, typed, False), typed)

        # Kept across a reload, judged again as they come back.
        kept = [js("return document.getElementById('box-%d').value" % n) for n in range(1, 13)]
        score = text("score")
        open_page("demo", fresh=False)
        self.assertEqual([js("return document.getElementById('box-%d').value" % n) for n in range(1, 13)], kept)
        self.assertEqual(text("score"), score)
        self.assertEqual(text("answer-1-verdict"), judged(12, kept[11], False))

        # Recommencer asks first; a no keeps everything, a yes empties it for good.
        by_id("restart").click()
        self.assertTrue(by_id("confirm").is_displayed())
        by_id("confirm-no").click()
        self.assertEqual(text("score"), score)
        by_id("restart").click()
        by_id("confirm-yes").click()
        self.assertShows(score="0 / 12", answer_1_verdict="?")
        self.assertEqual(by_id("code").get_attribute("value"), "")
        open_page("demo", fresh=False)
        self.assertEqual(text("score"), "0 / 12")
        self.assertEqual(js("return document.getElementById('box-1').value"), "")

    def test_an_answer_typed_but_not_judged_is_kept_when_the_page_is_left(self):
        open_page("demo")
        by_id("answer-1").send_keys("france")
        open_page("demo", fresh=False)
        self.assertEqual(by_id("answer-1").get_attribute("value"), "france")
        self.assertShows(answer_1_verdict="BRAVO", score="1 / 12")

    def test_the_keyboard_alone_plays_the_quiz_to_the_end(self):
        open_page("demo")
        keys = ActionChains(driver)
        # From the top of the page, Tab reaches the answer box.
        js("document.activeElement.blur()")
        for _ in range(10):
            if driver.switch_to.active_element.get_attribute("id") == "answer-1":
                break
            keys.send_keys(Keys.TAB).perform()
        self.assertEqual(driver.switch_to.active_element.get_attribute("id"), "answer-1")
        for country in DEMO_ANSWERS:
            ActionChains(driver).send_keys(country, Keys.ENTER).perform()
            self.assertEqual(text("answer-1-verdict"), "BRAVO", country)
            ActionChains(driver).send_keys(Keys.PAGE_DOWN).perform()
        self.assertEqual(text("score"), "12 / 12")
        self.assertEqual(by_id("code").get_attribute("value"), "EXPERT")
        # The box given the keys is already in sight: the page is not moved away from the score.
        time.sleep(0.5)
        self.assertEqual(js("return window.scrollY"), 0)
        ActionChains(driver).send_keys(Keys.F3).perform()
        self.assertTrue(by_id("grid").is_displayed())
        verdicts = [text("box-%d-verdict" % n) for n in range(1, 13)]
        self.assertEqual(verdicts, ["BRAVO"] * 12)

    def assertFitsPhones(self):
        # The view shown on the narrowest phones (360 px) too; the test goes on at 390 px.
        for width in (360, 390):
            size(width, 844, phone=True)
            self.assertLessEqual(js("return document.documentElement.scrollWidth"), width, width)

    def test_a_phone_plays_both_views_without_scrolling_sideways(self):
        size(390, 844, phone=True)
        open_page("demo")
        self.assertFitsPhones()
        self.assertTrue(js("const p = document.getElementById('picture');"
                           " return p.complete && p.naturalWidth > 0 && p.getBoundingClientRect().width <= 390"))
        by_id("answer-1").send_keys("Frnce" + Keys.ENTER)
        self.assertEqual(text("answer-1-verdict"), "Quasiment")
        for id in ["answer-1", "previous", "next", "switch", "restart"]:
            self.assertGreaterEqual(by_id(id).size["height"], 44, id)
        driver.save_screenshot(os.path.join(WORK, "page-phone-single.png"))
        by_id("switch").click()
        self.assertFitsPhones()
        box = by_id("box-9")
        box.click()
        box.send_keys("japon" + Keys.ENTER)
        self.assertEqual(text("box-9-verdict"), "BRAVO")
        # The box typed in is brought above the lower part of the screen, where the on-screen
        # keyboard opens.
        WebDriverWait(driver, 3).until(lambda _: js(
            "const r = document.getElementById('box-9').getBoundingClientRect();"
            " return r.top >= 0 && r.bottom <= 0.6 * window.innerHeight"))
        driver.save_screenshot(os.path.join(WORK, "page-phone-grid.png"))
        size(1280, 800)
        driver.save_screenshot(os.path.join(WORK, "page-desktop-grid.png"))


class MarkupPage(PageTest):
    def test_quiz_texts_show_as_text_and_two_boxes_are_judged(self):
        size(1280, 800)
        open_page("markup")
        self.assertEqual(text("title"), INJECTION)
        self.assertEqual(driver.title, INJECTION)
        self.assertEqual(text("author"), "<script>alert(2)</script>")
        self.assertEqual(len(driver.find_elements(By.CSS_SELECTOR, "header img, header b, header script")), 0)
        labels = [label.text for label in driver.find_elements(By.CSS_SELECTOR, "#single-answers label")]
        self.assertEqual(labels, ["Pays (question 1)", "<i>Capitale</i> (question 1)"])
        answer("answer-2", "roma")
        self.assertEqual(text("answer-2-verdict"), "BRAVO")
        self.assertEqual(text("score"), "1 / 2")
        self.assertEqual(by_id("code").get_attribute("value"), "<u>UN</u>")
        by_id("switch").click()
        for box, typed in [(1, "france"), (2, "paris"), (3, "italie")]:
            answer("box-%d" % box, typed, Keys.TAB)
        self.assertFalse(any(r.is_displayed() for r in driver.find_elements(By.CSS_SELECTOR, "#questions .reveal")))
        answer("box-4", "Rome", Keys.TAB)
        shown = [r.text for r in driver.find_elements(By.CSS_SELECTOR, "#questions .reveal") if r.is_displayed()]
        self.assertEqual(shown, ["<em>Hexagone</em>", "Botte"])
        self.assertEqual(by_id("code").get_attribute("value"), "DEUX")

    def test_damaged_accepted_answers_are_told_and_each_box_keeps_its_first_answer(self):
        with open(pages["markup"], encoding="utf-8") as page:
            damaged = re.sub(r'"accepted":"[^"]*"', '"accepted":"AAAA"', page.read())
        pages["damaged"] = os.path.join(WORK, "abimee.html")
        with open(pages["damaged"], "w", encoding="utf-8") as out:
            out.write(damaged)
        open_page("damaged")
        self.assertIn("chaque case n'accepte que sa premi\u00e8re r\u00e9ponse", text("notice"))
        answer("answer-2", "roma")
        self.assertEqual(text("answer-2-verdict"), "FAUX")
        answer("answer-2", "paris")
        self.assertEqual(text("answer-2-verdict"), "BRAVO")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])
