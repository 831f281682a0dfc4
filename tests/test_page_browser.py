"""The HTML page in a real browser (headless Chromium): it loads clean and
offline, its pictures decode, its filters, outlines and copy buttons work."""

import json
import os
import shutil
from pathlib import Path

import pytest

pytest.importorskip("matplotlib")

from ci_reports_run import tessary, write_scripts  # noqa: E402

webdriver = pytest.importorskip("selenium.webdriver")
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

BROWSERS = ("chromium", "chromium-browser", "google-chrome")
# CI installs the browser: there, one missing is a failure, not a skip.
REQUIRED = os.environ.get("TESSARY_BROWSER_TESTS") == "required"


def _browser():
    binary = next(filter(None, map(shutil.which, BROWSERS)), None)
    driver = shutil.which("chromedriver")
    if binary is None or driver is None:
        message = "the browser tests need Chromium and chromedriver (Debian: apt-get install chromium chromium-driver)"
        pytest.fail(message) if REQUIRED else pytest.skip(message)
    options = webdriver.ChromeOptions()
    options.binary_location = binary
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage", "--window-size=1200,900"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    return webdriver.Chrome(options=options, service=Service(driver))


@pytest.fixture(scope="module")
def page(tmp_path_factory):
    folder = tmp_path_factory.mktemp("page")
    done = tessary(folder, *write_scripts(folder), "--hints", "--html", "r.html")
    assert done.returncode == 2, done.stderr
    return (folder / "r.html").as_uri()


@pytest.fixture(scope="module")
def browser():
    driver = _browser()
    # Nothing may leave the machine: every request but the page's own fails.
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.setBlockedURLs", {"urls": ["http://*", "https://*", "ws://*", "wss://*"]})
    yield driver
    driver.quit()


@pytest.fixture
def loaded(browser, page):
    browser.get_log("performance")  # what came before is not this load's
    browser.get(page)
    return browser


def _requests(driver) -> list[str]:
    sent = (json.loads(entry["message"])["message"] for entry in driver.get_log("performance"))
    return [m["params"]["request"]["url"] for m in sent if m["method"] == "Network.requestWillBeSent"]


def _visible(driver, selector: str) -> list:
    return [e for e in driver.find_elements(By.CSS_SELECTOR, selector) if e.is_displayed()]


def test_the_page_loads_without_errors_and_asks_for_nothing(loaded, page):
    assert [e for e in loaded.get_log("browser") if e["level"] in ("SEVERE", "WARNING")] == []
    pictures = loaded.find_elements(By.TAG_NAME, "img")
    assert len(pictures) == 3
    assert all(loaded.execute_script("return arguments[0].complete && arguments[0].naturalWidth > 0", p)
               for p in pictures)
    assert [url for url in _requests(loaded) if url != page and not url.startswith("data:")] == []
    assert loaded.title.startswith("tessary: ")  # the hostile title's script never ran


def test_the_request_check_sees_a_page_that_loads_from_the_network(browser, tmp_path):
    leaky = tmp_path / "leaky.html"
    leaky.write_text('<!DOCTYPE html><title>x</title><img src="http://127.0.0.1:9/picture.png" alt="">')
    browser.get_log("performance")
    browser.get(leaky.as_uri())
    assert "http://127.0.0.1:9/picture.png" in _requests(browser)


def test_a_kind_filter_hides_the_other_findings(loaded):
    findings = loaded.find_elements(By.CSS_SELECTOR, ".finding")
    assert len(_visible(loaded, ".finding")) == len(findings) == 5
    loaded.find_element(By.CSS_SELECTOR, "input[name='kind'][value='clipping']").click()
    shown = _visible(loaded, ".finding")
    assert shown and {e.get_attribute("data-kind") for e in shown} == {"text_text"}
    assert loaded.find_element(By.ID, "filter-status").text == f"{len(shown)} of 5 findings shown"
    # collide.py's only finding is clipping: its figure goes with it.
    assert not loaded.find_element(By.CSS_SELECTOR, ".script[data-script='collide.py'] .figure").is_displayed()


def test_a_script_filter_shows_that_script_alone(loaded):
    from selenium.webdriver.support.ui import Select

    Select(loaded.find_element(By.ID, "script-filter")).select_by_value("two.py")
    assert {e.get_attribute("data-script") for e in _visible(loaded, ".script, .failure")} == {"two.py"}
    assert len(_visible(loaded, ".finding")) == 4


def test_choosing_a_finding_with_the_keyboard_outlines_it_on_its_picture(loaded):
    button = loaded.find_elements(By.CSS_SELECTOR, ".choose")[2]
    boxes = json.loads(button.get_attribute("data-outlines"))
    loaded.execute_script("arguments[0].focus()", button)
    ActionChains(loaded).send_keys(Keys.ENTER).perform()
    assert button.get_attribute("aria-pressed") == "true"
    figure = button.find_element(By.XPATH, "ancestor::section[contains(@class, 'figure')]")
    outlines = figure.find_elements(By.CSS_SELECTOR, ".outlines div")
    assert len(outlines) == len(boxes) > 0
    picture = figure.find_element(By.TAG_NAME, "img").rect
    for outline in outlines:
        r = outline.rect
        assert r["width"] > 0 and r["height"] > 0
        assert picture["x"] - 1 <= r["x"] and r["x"] + r["width"] <= picture["x"] + picture["width"] + 1
        assert picture["y"] - 1 <= r["y"] and r["y"] + r["height"] <= picture["y"] + picture["height"] + 1
    # Another finding takes the outline over; Escape clears it.
    loaded.find_elements(By.CSS_SELECTOR, ".choose")[0].click()
    assert button.get_attribute("aria-pressed") == "false"
    assert len(loaded.find_elements(By.CSS_SELECTOR, ".outlines div")) == len(
        json.loads(loaded.find_elements(By.CSS_SELECTOR, ".choose")[0].get_attribute("data-outlines")))
    ActionChains(loaded).send_keys(Keys.ESCAPE).perform()
    assert loaded.find_elements(By.CSS_SELECTOR, ".outlines div") == []


def test_the_copy_button_puts_the_hints_code_on_the_clipboard(loaded):
    hint = loaded.find_elements(By.CSS_SELECTOR, ".hint")[1]
    code = hint.find_element(By.TAG_NAME, "code").get_attribute("textContent")
    hint.find_element(By.CSS_SELECTOR, "button.copy").click()
    assert loaded.find_element(By.ID, "copy-status").get_attribute("textContent") == "Copied the hint's code."
    loaded.execute_script("const area = document.createElement('textarea'); area.id = 'pasted';"
                          "document.body.append(area); area.focus();")
    ActionChains(loaded).key_down(Keys.CONTROL).send_keys("v").key_up(Keys.CONTROL).perform()
    assert loaded.find_element(By.ID, "pasted").get_attribute("value") == code
    assert "\n" in code  # a hint of several lines comes whole


def test_a_phone_sized_window_scrolls_only_down(browser, page):
    browser.set_window_size(390, 844)
    try:
        browser.get(page)
        assert browser.execute_script("return document.documentElement.scrollWidth") <= 390
    finally:
        browser.set_window_size(1200, 900)


def test_screenshot(browser, tmp_path):
    """The README's picture of the page, made from two of the examples, a
    finding chosen: TESSARY_SCREENSHOT=docs/report-page.png keeps it."""
    examples = Path(__file__).resolve().parent.parent / "examples"
    for name in ("legend_on_data.py", "suptitle_title.py"):
        shutil.copy(examples / name, tmp_path)
    done = tessary(tmp_path, "legend_on_data.py", "suptitle_title.py", "--hints", "--html", "r.html")
    assert done.returncode == 1, done.stderr
    browser.set_window_size(1000, 1500)
    try:
        browser.get((tmp_path / "r.html").as_uri())
        browser.find_elements(By.CSS_SELECTOR, ".choose")[0].click()
        browser.execute_script("window.scrollTo(0, 0)")
        target = Path(os.environ.get("TESSARY_SCREENSHOT") or tmp_path / "page.png")
        assert browser.save_screenshot(str(target))
    finally:
        browser.set_window_size(1200, 900)
    assert target.read_bytes().startswith(b"\x89PNG") and target.stat().st_size > 20_000
