#!/usr/bin/env bash
# The guide's pictures of the quiz page: the demo played a little on a phone
# (390 x 844, both views) and on a computer (1280 x 800, both views), in
# headless Chromium. Writes docs/images/page-*.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target vidod-make
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/native/maker/vidod-make web demo/drapeaux/quiz.toml -o "$work/drapeaux.html" >/dev/null
/usr/bin/python3 - "$work" "$root/docs/images" <<'PY'
import sys, time
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
work, images = sys.argv[1:3]
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for flag in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
             "--disable-component-update", "--no-first-run", "--disable-sync", "--hide-scrollbars",
             "--user-data-dir=" + work + "/profile"]:
    options.add_argument(flag)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
def size(width, height, phone):
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": phone})
def play(id, text):
    box = driver.find_element(By.ID, id)
    box.clear()
    box.send_keys(text + Keys.ENTER)
size(390, 844, True)
driver.get("file://" + work + "/drapeaux.html")
driver.execute_script("return new Promise((done) => { const ready = () => document.body.dataset.ready ? done() :"
                      " setTimeout(ready, 10); ready(); })")
play("answer-1", "france")
driver.find_element(By.ID, "next").click()
play("answer-1", "Itali")
driver.execute_script("document.activeElement.blur(); window.scrollTo(0, 0)")
time.sleep(0.3)
driver.save_screenshot(images + "/page-telephone.png")
driver.find_element(By.ID, "switch").click()
play("box-3", "belgique")
driver.execute_script("document.activeElement.blur(); document.getElementById('box-2').scrollIntoView()")
time.sleep(0.3)
driver.save_screenshot(images + "/page-telephone-grille.png")
size(1280, 800, False)
driver.execute_script("window.scrollTo(0, 0)")
time.sleep(0.3)
driver.save_screenshot(images + "/page-ordinateur.png")
driver.find_element(By.ID, "switch").click()
driver.find_element(By.ID, "next").click()
time.sleep(0.5)
driver.execute_script("document.activeElement.blur(); window.scrollTo(0, 0)")
time.sleep(0.3)
driver.save_screenshot(images + "/page-ordinateur-question.png")
driver.quit()
PY
