-- description: Order lines of a product picked from the products (NSQLPICKR)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT order_id, line_no, quantity, unit_price
FROM order_lines
WHERE product_id = ?NSQLPICKR_Product||"{SELECT id FROM products ORDER BY id}"?
ORDER BY order_id
