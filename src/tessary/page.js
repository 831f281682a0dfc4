"use strict";
(() => {
  const filters = document.querySelector(".filters");
  const say = (text) => { document.getElementById("copy-status").textContent = text; };

  function clearOutlines() {
    for (const layer of document.querySelectorAll(".outlines")) layer.replaceChildren();
    for (const button of document.querySelectorAll(".choose[aria-pressed='true']")) {
      button.setAttribute("aria-pressed", "false");
    }
  }

  function choose(button) {
    const chosen = button.getAttribute("aria-pressed") === "true";
    clearOutlines();
    if (chosen) return;
    const picture = button.closest(".figure").querySelector(".picture");
    const layer = picture.querySelector(".outlines");
    for (const [left, top, width, height] of JSON.parse(button.dataset.outlines)) {
      const box = document.createElement("div");
      Object.assign(box.style, { left: left + "%", top: top + "%", width: width + "%", height: height + "%" });
      layer.append(box);
    }
    button.setAttribute("aria-pressed", "true");
    picture.scrollIntoView({ block: "nearest" });
  }

  function copiedByHand(text) {
    // The older way, for pages the clipboard interface refuses (a file opened from disk may be one).
    const area = document.createElement("textarea");
    area.value = text;
    area.setAttribute("readonly", "");
    area.style.position = "fixed";
    area.style.opacity = "0";
    document.body.append(area);
    area.select();
    let done = false;
    try { done = document.execCommand("copy"); } catch (error) { done = false; }
    area.remove();
    return done;
  }

  async function copy(button) {
    const text = document.getElementById(button.dataset.code).textContent;
    let done = false;
    try {
      if (navigator.clipboard) { await navigator.clipboard.writeText(text); done = true; }
    } catch (error) { done = false; }
    if (!done) done = copiedByHand(text);
    button.focus();
    say(done ? "Copied the hint's code." : "This browser would not copy it: select the code and copy it yourself.");
    button.textContent = done ? "Copied" : "Could not copy";
    setTimeout(() => { button.textContent = "Copy the hint's code"; }, 2000);
  }

  function applyFilters() {
    const kinds = new Set([...filters.querySelectorAll("input[name='kind']:checked")].map((box) => box.value));
    const script = document.getElementById("script-filter").value;
    const everyKind = kinds.size === filters.querySelectorAll("input[name='kind']").length;
    let shown = 0;
    for (const finding of document.querySelectorAll(".finding")) {
      finding.hidden = !kinds.has(finding.dataset.kind) || (script !== "" && finding.dataset.script !== script);
      if (!finding.hidden) shown += 1;
    }
    for (const figure of document.querySelectorAll(".figure")) {
      const some = figure.querySelector(".finding:not([hidden])") !== null;
      // A clean figure belongs to the whole run, not to a choice of kinds.
      figure.hidden = (script !== "" && figure.dataset.script !== script) ||
        (figure.dataset.clean === "true" ? !everyKind : !some);
    }
    for (const item of document.querySelectorAll(".script, .failure")) {
      item.hidden = script !== "" && item.dataset.script !== script;
    }
    for (const article of document.querySelectorAll(".script")) {
      if (!article.hidden && article.querySelector(".figure:not([hidden])") === null && !everyKind) article.hidden = true;
    }
    const pressed = document.querySelector(".choose[aria-pressed='true']");
    if (pressed && pressed.closest("[hidden]")) clearOutlines();
    document.getElementById("filter-status").textContent =
      `${shown} of ${document.querySelectorAll(".finding").length} findings shown`;
  }

  document.addEventListener("click", (event) => {
    const button = event.target.closest("button");
    if (button === null) return;
    if (button.classList.contains("choose")) choose(button);
    else if (button.classList.contains("copy")) copy(button);
  });
  document.addEventListener("keydown", (event) => { if (event.key === "Escape") clearOutlines(); });
  if (filters !== null) {
    filters.hidden = false;
    filters.addEventListener("change", applyFilters);
    filters.querySelector("form").addEventListener("submit", (event) => event.preventDefault());
    applyFilters();
  }
})();
