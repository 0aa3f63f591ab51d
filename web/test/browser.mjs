// The browser test of the web build: serves build-web/ on localhost, opens it in headless
// Chromium (Debian's, driven through the DevTools protocol by playwright-core), waits for the
// title, takes its picture, presses Space twice (title, prologue) into play, looking for the
// narrator's first subtitle in the prologue on the way, takes a picture of play, then Escape
// twice: back to the title and out of the game, to the "thanks for playing" page. Fails on any
// error in the page's console, on a failed request, on a step that never comes, and on a picture
// too far from its reference in tests/web_shots/. Prints the figures: the
// download's size, the time to the title and the frames per second of play.
//
//   node web/test/browser.mjs SITE_DIR NODE_DIR SHOTS_DIR OUT_DIR
//
// DUNMARROW_UPDATE_SHOTS=1 writes the references instead of comparing (look at them first).

import { createRequire } from "node:module";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";

const [siteArg, nodeDir, shotsDir, outDir] = process.argv.slice(2);
const site = path.resolve(siteArg || ".");
if (!siteArg || !nodeDir || !shotsDir || !outDir) {
    console.error("usage: browser.mjs SITE_DIR NODE_DIR SHOTS_DIR OUT_DIR");
    process.exit(2);
}
const { chromium } = createRequire(path.join(path.resolve(nodeDir), "/"))("playwright-core");
const update = process.env.DUNMARROW_UPDATE_SHOTS === "1";

// A picture is compared with its reference at SMALL_W x SMALL_H, averaged down by the browser:
// the whole picture coarsely (in blocks of BLOCK x BLOCK of those pixels), where the scene's random
// parts (clouds, buildings, pigeons, passers-by) average out and a wrong or missing scene does not;
// and its fixed rows (the title's owl and city, play's score line) in full, where a wrong picture,
// label or colour shows.
const SMALL_W = 64, SMALL_H = 48, BLOCK = 8;
// Mean difference per colour channel, 0 to 255, above which a picture is not its reference.
const TOLERANCE = 10;

const failures = [];
function fail(text) {
    failures.push(text);
    console.error("FAIL: " + text);
}

//---- A static server for the page, on a free port of this machine

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".data": "application/octet-stream" };
const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, "http://localhost").pathname);
    const file = path.join(site, name === "/" ? "index.html" : name);
    const type = TYPES[path.extname(file)];
    if (!file.startsWith(site + path.sep) || !type || !fs.existsSync(file)) {
        res.writeHead(404).end();
        return;
    }
    res.writeHead(200, { "Content-Type": type, "Content-Length": fs.statSync(file).size });
    fs.createReadStream(file).pipe(res);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
// The page is opened with the subtitles on: the prologue shows the narrator's first line.
const url = `http://127.0.0.1:${server.address().port}/?subtitles`;

//---- Chromium, headless, software WebGL, nothing fetched from outside

const profile = fs.mkdtempSync(path.join(os.tmpdir(), "dunmarrow-chromium-"));
const context = await chromium.launchPersistentContext(profile, {
    executablePath: "/usr/bin/chromium",
    headless: true,
    viewport: { width: 1024, height: 768 },
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
           "--autoplay-policy=user-gesture-required"],
});
const page = context.pages()[0] || (await context.newPage());
page.on("console", (m) => {
    if (m.type() === "error")
        fail("console error: " + m.text());
    else if (process.env.DUNMARROW_WEB_VERBOSE)
        console.log(`console ${m.type()}: ${m.text()}`);
});
page.on("pageerror", (e) => fail("page error: " + e.message));
page.on("requestfailed", (r) => fail("request failed: " + r.url()));

async function waitFor(what, test, seconds, arg = null) {
    try {
        await page.waitForFunction(test, arg, { timeout: seconds * 1000, polling: 100 });
        return true;
    } catch (e) {
        fail(`${what} did not come within ${seconds} s`);
        return false;
    }
}
const mode = () => page.evaluate(() => (typeof Module === "undefined" ? undefined : Module.dunmarrowMode));

// The picture of the canvas, averaged down to SMALL_W x SMALL_H by the browser itself, compared
// with the reference read the same way, its rows [rows[0], rows[1]) in full (or writes the reference).
// tint: the most an even tint over the picture may differ, per channel (null: none allowed).
async function checkShot(name, rows, tint = null) {
    const full = await page.locator("#game").screenshot();
    fs.writeFileSync(path.join(outDir, name + ".png"), full);
    const small = await page.evaluate(
        async ([png, w, h]) => {
            const image = await createImageBitmap(await (await fetch("data:image/png;base64," + png)).blob(),
                                                  { resizeWidth: w, resizeHeight: h, resizeQuality: "high" });
            const canvas = new OffscreenCanvas(w, h);
            const g = canvas.getContext("2d");
            g.drawImage(image, 0, 0);
            const blob = await canvas.convertToBlob({ type: "image/png" });
            const bytes = new Uint8Array(await blob.arrayBuffer());
            let text = "";
            for (const b of bytes)
                text += String.fromCharCode(b);
            return { pixels: Array.from(g.getImageData(0, 0, w, h).data), png: btoa(text) };
        },
        [full.toString("base64"), SMALL_W, SMALL_H]);
    const reference = path.join(shotsDir, name + ".png");
    if (update) {
        fs.writeFileSync(reference, Buffer.from(small.png, "base64"));
        console.log("wrote " + reference);
        return;
    }
    if (!fs.existsSync(reference)) {
        fail("no reference picture " + reference);
        return;
    }
    const ref = await page.evaluate(async (png) => {
        const image = await createImageBitmap(await (await fetch("data:image/png;base64," + png)).blob());
        const canvas = new OffscreenCanvas(image.width, image.height);
        const g = canvas.getContext("2d");
        g.drawImage(image, 0, 0);
        return Array.from(g.getImageData(0, 0, image.width, image.height).data);
    }, fs.readFileSync(reference).toString("base64"));
    if (ref.length !== small.pixels.length) {
        fail(`${name}: the reference is not ${SMALL_W} x ${SMALL_H}`);
        return;
    }
    const channel = (pixels, x, y, c) => pixels[(y * SMALL_W + x) * 4 + c];
    // A tint laid evenly over the whole picture (the title's veil, whose last step depends on
    // the frame rate) is measured, bounded by tint, and left out of the differences.
    const offset = [0, 0, 0];
    if (tint)
        for (let c = 0; c < 3; c++) {
            let d = 0;
            for (let y = rows[0]; y < rows[1]; y++)
                for (let x = 0; x < SMALL_W; x++)
                    d += channel(small.pixels, x, y, c) - channel(ref, x, y, c);
            offset[c] = d / ((rows[1] - rows[0]) * SMALL_W);
            if (Math.abs(offset[c]) > tint[c])
                fail(`${name}: an even tint of ${offset[c].toFixed(1)} in channel ${c}, more than ${tint[c]}`);
        }
    const tinted = (pixels, x, y, c) => Math.max(0, Math.min(255, channel(pixels, x, y, c) + offset[c]));
    let fine = 0, fineCount = 0;
    for (let y = rows[0]; y < rows[1]; y++)
        for (let x = 0; x < SMALL_W; x++)
            for (let c = 0; c < 3; c++, fineCount++)
                fine += Math.abs(tinted(ref, x, y, c) - channel(small.pixels, x, y, c));
    fine /= fineCount;
    let coarse = 0, coarseCount = 0;
    for (let by = 0; by < SMALL_H; by += BLOCK)
        for (let bx = 0; bx < SMALL_W; bx += BLOCK)
            for (let c = 0; c < 3; c++, coarseCount++) {
                let a = 0, b = 0;
                for (let y = by; y < by + BLOCK; y++)
                    for (let x = bx; x < bx + BLOCK; x++) {
                        a += tinted(ref, x, y, c);
                        b += channel(small.pixels, x, y, c);
                    }
                coarse += Math.abs(a - b) / (BLOCK * BLOCK);
            }
    coarse /= coarseCount;
    console.log(`${name}: mean difference ${coarse.toFixed(2)} in blocks, ${fine.toFixed(2)} in rows ` +
                `${rows[0]}-${rows[1] - 1} (tolerance ${TOLERANCE})` +
                (tint ? `, even tint ${offset.map((o) => o.toFixed(1)).join(" ")}` : ""));
    if (coarse > TOLERANCE || fine > TOLERANCE)
        fail(`${name} differs from its reference; see ${outDir}/${name}.png`);
}

// Pixels of the narrator's words (warm white) in the band at the foot of the canvas, where the
// subtitles sit (rows 684 to 750 of 768).
async function wordsAtFoot() {
    const png = (await page.locator("#game").screenshot()).toString("base64");
    return page.evaluate(async (png) => {
        const image = await createImageBitmap(await (await fetch("data:image/png;base64," + png)).blob());
        const canvas = new OffscreenCanvas(image.width, image.height);
        const g = canvas.getContext("2d");
        g.drawImage(image, 0, 0);
        const top = Math.round(image.height * 684 / 768), bottom = Math.round(image.height * 750 / 768);
        const d = g.getImageData(0, top, image.width, bottom - top).data;
        let count = 0;
        for (let i = 0; i < d.length; i += 4)
            count += d[i] > 200 && d[i + 1] > 190 && d[i + 2] > 160 ? 1 : 0;
        return count;
    }, png);
}

//---- The run

fs.mkdirSync(outDir, { recursive: true });
const started = Date.now();
await page.goto(url);
let ok = await waitFor("the title", () => typeof Module !== "undefined" && Module.dunmarrowMode === 0, 180);
const toTitle = (Date.now() - started) / 1000;
if (ok) {
    // The title's picture 10 s into its music, when everything has faded in even if the first
    // frames were slow (the scene's fades run on frame times, which are clamped); the help card
    // fading in on the right (from 8.5 s) is left out of the rows compared in full.
    ok = await waitFor("the title's tenth second", () => Module.dunmarrowMode === 0 && Module.dunmarrowMusic >= 10, 40);
}
if (ok) {
    // The veil over the title lifts over its music's first 0.35 s, and stays where the last frame
    // within them left it: at a few frames a second anywhere up to its whole colour (0.1, 0.12,
    // 0.15), added to the picture.
    await checkShot("title", [21, 48], [0.1 * 255 + 3, 0.12 * 255 + 3, 0.15 * 255 + 3]);
    await page.keyboard.press("Space");
    ok = await waitFor("the prologue", () => Module.dunmarrowMode === 1, 20);
    // That first key press has let the page make sound: OpenAL's audio context runs, and the
    // prologue's music goes on from its clock on the device.
    ok = ok && (await waitFor("the sound after the first key press",
                              () => typeof AL !== "undefined" && AL.currentCtx && AL.currentCtx.audioCtx.state === "running", 10));
    if (ok) {
        const m0 = await page.evaluate(() => Module.dunmarrowMusic);
        ok = await waitFor("the prologue's music going on", (m) => Module.dunmarrowMusic > m + 0.3, 10, m0);
    }
    // The narrator starts 1 s into the prologue, and his first line shows while he speaks it.
    ok = ok && (await waitFor("the first subtitle", () => Module.dunmarrowMusic >= 2.5, 10));
    if (ok && (await mode()) === 1) {
        const words = await wordsAtFoot();
        console.log(`prologue: ${words} pixels of subtitle words at the foot`);
        if (words < 500)
            fail(`the prologue shows no subtitle with ?subtitles (${words} pixels of words)`);
    }
}
let fps = 0;
if (ok) {
    await page.waitForTimeout(1000);
    await page.keyboard.press("Space");
    ok = await waitFor("play", () => Module.dunmarrowMode === 2, 20);
}
if (ok) {
    // Play's picture early, before the street's random traffic and the falling owl have moved far.
    await page.waitForTimeout(1500);
    await checkShot("play", [0, 4]);
    const frames0 = await page.evaluate(() => Module.dunmarrowFrames);
    const t0 = Date.now();
    await page.waitForTimeout(5000);
    fps = ((await page.evaluate(() => Module.dunmarrowFrames)) - frames0) / ((Date.now() - t0) / 1000);
    if ((await mode()) !== 2)
        fail("play ended by itself within 7 s");
    await page.keyboard.press("Escape");
    ok = await waitFor("the title after Escape", () => Module.dunmarrowMode === 0, 20);
}
if (ok) {
    await page.waitForTimeout(500);
    await page.keyboard.press("Escape");
    ok = await waitFor("the thanks-for-playing page after Escape on the title",
                       () => getComputedStyle(document.getElementById("thanks")).display !== "none", 20);
}
if (ok && (await page.locator("#game").isVisible()))
    fail("the game's canvas is still shown after it quit");

await context.close();
server.close();
fs.rmSync(profile, { recursive: true, force: true });

const size = (f) => fs.statSync(path.join(site, f)).size / 1e6;
console.log(`download: dunmarrow.wasm ${size("dunmarrow.wasm").toFixed(2)} MB, dunmarrow.js ${size("dunmarrow.js").toFixed(2)} MB, ` +
            `dunmarrow.data ${size("dunmarrow.data").toFixed(2)} MB`);
console.log(`time to the title: ${toTitle.toFixed(1)} s; play: ${fps.toFixed(1)} frames per second`);
console.log(failures.length ? `${failures.length} failed` : "the browser test passed");
process.exit(failures.length ? 1 : 0);
