"""Times the first picture of a quiz page in headless Chromium: from the start
of the navigation to the moment the browser paints the question's picture
(Element Timing), against a reference page that holds only the same picture
as a data address, measured alternately in the same browser.
Usage: page_bench.py PAGE.html ROUNDS
"""
import base64
import json
import os
import re
import statistics
import sys
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

page, rounds = sys.argv[1], int(sys.argv[2])
work = tempfile.mkdtemp()
with open(page, encoding="utf-8") as source:
    data = json.loads(re.search(r'<script type="application/json" id="quiz-data">(.*?)</script>', source.read(),
                                re.S).group(1))
reference = os.path.join(work, "reference.html")
with open(reference, "w", encoding="utf-8") as out:
    out.write('<!DOCTYPE html><html><body><img elementtiming="premiere-image" src="%s"></body></html>'
              % data["pictures"][0])

options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for flag in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
             "--disable-component-update", "--no-first-run", "--disable-sync", "--user-data-dir=" + work]:
    options.add_argument(flag)
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
driver.set_window_size(1280, 800)

PAINTED = """
const done = arguments[0];
new PerformanceObserver((list) => {
  for (const entry of list.getEntries())
    if (entry.identifier === 'premiere-image') done(entry.renderTime || entry.loadTime);
}).observe({type: 'element', buffered: true});
"""


def first_picture(url):
    driver.get(url)
    return driver.execute_async_script(PAINTED)


times = {"page": [], "reference": []}
for _ in range(rounds):
    times["page"].append(first_picture("file://" + os.path.abspath(page)))
    times["reference"].append(first_picture("file://" + reference))
driver.quit()
page_ms, reference_ms = statistics.median(times["page"]), statistics.median(times["reference"])
print("first_picture_ms=%.1f reference_ms=%.1f ratio=%.2f" % (page_ms, reference_ms, page_ms / reference_ms))
